// See console_line.h.
#include "ui/core/console_line.h"

#include <cstdarg>

#include "link/log_sink.h"

static_assert(static_cast<int>(kConsoleLineSize) == static_cast<int>(kLogLineBufferSize),
              "console lines and log lines share one cut");

void FormatConsoleLine(char* buffer, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatLogLine(buffer, format, args);
  va_end(args);
}
