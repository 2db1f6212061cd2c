// Formatting one piece of console output into its fixed 1024-byte buffer.
// Pure function over the caller's buffer; any thread.
#pragma once

#include "link/printf_format.h"

enum : int { kConsoleLineSize = 1024 };

// Formats printf-style into buffer (kConsoleLineSize bytes, zero-filled
// first), as the link formats its log lines (FormatLogLine): output that does
// not fit is cut on a character boundary; when the format ends in "\r\n" the
// cut output still does, so the next line never runs on into a cut one.
void FormatConsoleLine(char* buffer, const char* format, ...) LINK_PRINTF_FORMAT(2, 3);
