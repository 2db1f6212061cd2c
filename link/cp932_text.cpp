// Code page 932 byte helpers. Any thread.
#include "link/cp932_text.h"

namespace {

// Bytes of the character at p: 2 for a lead byte followed by a second byte.
std::size_t CharLength(const char* p) {
  return IsDoubleByteLead(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
}

}  // namespace

std::size_t CharBoundaryLength(const char* text, std::size_t limit) {
  std::size_t length = 0;
  while (text[length] != '\0') {
    const std::size_t next = length + CharLength(text + length);
    if (next > limit) break;
    length = next;
  }
  return length;
}

const char* FindLastChar(const char* text, char c) {
  const char* found = nullptr;
  for (const char* p = text; *p != '\0'; p += CharLength(p)) {
    if (*p == c) found = p;
  }
  return found;
}
