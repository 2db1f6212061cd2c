// Code page 932 byte helpers. Any thread.
#include "link/cp932_text.h"

#include <cstring>

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
