// See console_line.h.
#include "ui/console_line.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "link/cp932_text.h"

void FormatConsoleLine(char* buffer, const char* format, ...) {
  std::memset(buffer, 0, kConsoleLineSize);
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(buffer, kConsoleLineSize, format, args);
  va_end(args);
  if (written < 0) {
    buffer[0] = '\0';
    return;
  }
  if (written < kConsoleLineSize) return;
  const std::size_t formatLength = std::strlen(format);
  const bool endsLine = formatLength >= 2 && std::strcmp(format + formatLength - 2, "\r\n") == 0;
  const std::size_t room = kConsoleLineSize - 1 - (endsLine ? 2 : 0);
  const std::size_t kept = CharBoundaryLength(buffer, room);
  std::memset(buffer + kept, 0, kConsoleLineSize - kept);
  if (endsLine) std::memcpy(buffer + kept, "\r\n", 2);
}
