// Where the link writes its diagnostic lines: an interface with the two
// operations the manager console log offers (a coloured line and a white
// line), plus the formatting both share. The Windows build wires the manager
// console to it; tests record the lines.
//
// Threads: the link calls the sink on its worker thread (connect and login
// failures, receive diagnostics, unhandled messages). An implementation that
// writes into a user-interface control carries the append out on the
// user-interface thread as one whole operation while the caller waits.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "link/printf_format.h"

// A colour in the window system's COLORREF layout, 0x00BBGGRR.
using LogColour = std::uint32_t;

constexpr LogColour Rgb(unsigned red, unsigned green, unsigned blue) {
  return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

// The colour of the link's protocol diagnostics.
constexpr LogColour kDiagnosticColour = Rgb(0, 127, 255);

enum : int { kLogLineBufferSize = 1024 };

class ILogSink {
 public:
  // text is one formatted line (it carries its own "\r\n"), valid only
  // during the call.
  virtual void AppendLine(LogColour colour, const char* text) = 0;
  virtual void AppendWhiteLine(const char* text) = 0;
  // Called on the user-interface thread while Stop waits for the worker, as
  // the event target is: a sink whose appends make the worker wait for the
  // user-interface thread lets a waiting append run here, so Stop cannot
  // deadlock on a line even when no event target serves the thread. The
  // default does nothing (a sink that never waits on another thread).
  virtual void ServePendingAppends() {}

 protected:
  ~ILogSink() = default;
};

// Formats into a zero-filled buffer of kLogLineBufferSize bytes; the buffer
// always ends in a NUL. Output beyond 1023 bytes is cut on a character
// boundary, and when the format ends in "\r\n" the cut line still does
// (MendCutLine). A null format gives "\r\n". Every console line of the
// client is formatted here.
void FormatLogLine(char* buffer, const char* format, va_list args);

// Format one line and hand it to the sink; a null sink drops it.
void LogLine(ILogSink* sink, LogColour colour, const char* format, ...) LINK_PRINTF_FORMAT(3, 4);
// The same from a caller's own argument list: in colour, or white when
// colour is null.
void SendLogLine(ILogSink* sink, const LogColour* colour, const char* format, va_list args);
void LogWhiteLine(ILogSink* sink, const char* format, ...) LINK_PRINTF_FORMAT(2, 3);
