// Formatting of log lines into their fixed buffer. Any thread.
#include "link/log_sink.h"

#include <cstdio>
#include <cstring>

void FormatLogLine(char* buffer, const char* format, va_list args) {
  std::memset(buffer, 0, kLogLineBufferSize);
  if (format == nullptr) {
    std::strcpy(buffer, "\r\n");
    return;
  }
  // vsnprintf cuts at size - 1 and terminates; a negative result (an encoding
  // error) leaves the zero-filled buffer as the empty line.
  if (std::vsnprintf(buffer, kLogLineBufferSize, format, args) < 0) buffer[0] = '\0';
}

namespace {

// One formatted line to the sink: in colour, or white when colour is null.
void SendLine(ILogSink* sink, const LogColour* colour, const char* format, va_list args) {
  char line[kLogLineBufferSize];
  FormatLogLine(line, format, args);
  if (colour != nullptr) {
    sink->AppendLine(*colour, line);
  } else {
    sink->AppendWhiteLine(line);
  }
}

}  // namespace

void LogLine(ILogSink* sink, LogColour colour, const char* format, ...) {
  if (sink == nullptr) return;
  va_list args;
  va_start(args, format);
  SendLine(sink, &colour, format, args);
  va_end(args);
}

void LogWhiteLine(ILogSink* sink, const char* format, ...) {
  if (sink == nullptr) return;
  va_list args;
  va_start(args, format);
  SendLine(sink, nullptr, format, args);
  va_end(args);
}
