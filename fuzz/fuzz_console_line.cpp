// Fuzz target: the console's line formatting. Input: one byte choosing the
// format (a bare text, a line, a chat line "<nick> text"), then the text
// (up to its first NUL; for the chat line the nick is the text's first up to
// 40 bytes). The formatted line must be the whole output when it fits, and
// otherwise the longest prefix that ends on a character boundary (CP932
// lead bytes 0x81-0x9F, 0xE0-0xFC), still ending in "\r\n" when the format
// does; never longer than the buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/core/console_line.h"

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Whether text's first length bytes end on a character boundary.
bool EndsOnBoundary(const std::string& text, std::size_t length) {
  std::size_t at = 0;
  while (at < length) at += IsLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
  return at == length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 3;
  const std::string text(reinterpret_cast<const char*>(data) + 1,
                         strnlen(reinterpret_cast<const char*>(data) + 1, size - 1));
  const std::string nick = text.substr(0, 40);
  char line[kConsoleLineSize];
  std::vector<char> whole(text.size() * 2 + 64);
  bool endsLine = true;
  if (mode == 0) {
    endsLine = false;
    FormatConsoleLine(line, "%s", text.c_str());
    std::snprintf(whole.data(), whole.size(), "%s", text.c_str());
  } else if (mode == 1) {
    FormatConsoleLine(line, "%s\r\n", text.c_str());
    std::snprintf(whole.data(), whole.size(), "%s\r\n", text.c_str());
  } else {
    FormatConsoleLine(line, "<%s> %s\r\n", nick.c_str(), text.c_str());
    std::snprintf(whole.data(), whole.size(), "<%s> %s\r\n", nick.c_str(), text.c_str());
  }
  const std::string full(whole.data());
  const std::size_t length = strnlen(line, sizeof line);
  if (length >= sizeof line) __builtin_trap();
  const std::string got(line, length);
  if (full.size() < sizeof line) {
    if (got != full) __builtin_trap();
    return 0;
  }
  std::size_t kept = got.size();
  if (endsLine) {
    if (kept < 2 || got.compare(kept - 2, 2, "\r\n") != 0) __builtin_trap();
    kept -= 2;
  }
  if (full.compare(0, kept, got, 0, kept) != 0) __builtin_trap();
  if (!EndsOnBoundary(full, kept)) __builtin_trap();
  // A double-byte character is the most a boundary cut may lose.
  const std::size_t room = sizeof line - 1 - (endsLine ? 2 : 0);
  if (kept + 1 < room) __builtin_trap();
  return 0;
}
