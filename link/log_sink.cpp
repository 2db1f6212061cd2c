// Formatting of log lines into their fixed buffer. Any thread.
#include "link/log_sink.h"

#include <cstdio>
#include <cstring>

#include "link/cp932_text.h"

void FormatLogLine(char* buffer, const char* format, va_list args) {
  std::memset(buffer, 0, kLogLineBufferSize);
  if (format == nullptr) {
    std::strcpy(buffer, "\r\n");
    return;
  }
  // vsnprintf cuts at size - 1 and terminates, possibly inside a double-byte
  // character and always before a closing "\r\n"; a negative result (an
  // encoding error) leaves the zero-filled buffer as the empty line.
  const int written = std::vsnprintf(buffer, kLogLineBufferSize, format, args);
  if (written < 0) {
    buffer[0] = '\0';
    return;
  }
  if (written < kLogLineBufferSize) return;
  const std::size_t formatLength = std::strlen(format);
  const bool endsLine = formatLength >= 2 && std::strcmp(format + formatLength - 2, "\r\n") == 0;
  MendCutLine(buffer, kLogLineBufferSize, endsLine);
}

void SendLogLine(ILogSink* sink, const LogColour* colour, const char* format, va_list args) {
  if (sink == nullptr) return;
  char line[kLogLineBufferSize];
  FormatLogLine(line, format, args);
  if (colour != nullptr) {
    sink->AppendLine(*colour, line);
  } else {
    sink->AppendWhiteLine(line);
  }
}

void LogLine(ILogSink* sink, LogColour colour, const char* format, ...) {
  va_list args;
  va_start(args, format);
  SendLogLine(sink, &colour, format, args);
  va_end(args);
}

void LogWhiteLine(ILogSink* sink, const char* format, ...) {
  va_list args;
  va_start(args, format);
  SendLogLine(sink, nullptr, format, args);
  va_end(args);
}
