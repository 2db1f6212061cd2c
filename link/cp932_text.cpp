// Code page 932 byte helpers. Any thread.
#include "link/cp932_text.h"

#include <cstring>

namespace {

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool StartsWithIgnoringCase(const char* text, const char* prefix, std::size_t length) {
  std::size_t i = 0;
  while (i < length) {
    if (text[i] == '\0') return false;
    // The text matches byte for byte where the prefix has a double-byte
    // character, so both are read the same way.
    if (CharLength(prefix + i) == 2 && i + 1 < length) {
      if (text[i] != prefix[i] || text[i + 1] != prefix[i + 1]) return false;
      i += 2;
      continue;
    }
    if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
    ++i;
  }
  return true;
}

const char* FindLastChar(const char* text, char c) {
  const char* found = nullptr;
  for (const char* p = text; *p != '\0'; p += CharLength(p)) {
    if (*p == c) found = p;
  }
  return found;
}

void MendCutLine(char* buffer, std::size_t size, bool endsLine) {
  if (size < 3) endsLine = false;
  const std::size_t room = size - 1 - (endsLine ? 2 : 0);
  // Every lead byte of the cut text had its second byte in the whole line, so
  // a lead byte in the last kept position stands for a character cut in two.
  std::size_t kept = 0;
  while (kept < room && buffer[kept] != '\0') {
    const std::size_t next =
        kept + (IsDoubleByteLead(static_cast<unsigned char>(buffer[kept])) ? 2 : 1);
    if (next > room) break;
    kept = next;
  }
  std::memset(buffer + kept, 0, size - kept);
  if (endsLine) std::memcpy(buffer + kept, "\r\n", 2);
}
