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

void LogLine(ILogSink* sink, LogColour colour, const char* format, ...) {
  if (sink == nullptr) return;
  char line[kLogLineBufferSize];
  va_list args;
  va_start(args, format);
  FormatLogLine(line, format, args);
  va_end(args);
  sink->AppendLine(colour, line);
}

void LogWhiteLine(ILogSink* sink, const char* format, ...) {
  if (sink == nullptr) return;
  char line[kLogLineBufferSize];
  va_list args;
  va_start(args, format);
  FormatLogLine(line, format, args);
  va_end(args);
  sink->AppendWhiteLine(line);
}
