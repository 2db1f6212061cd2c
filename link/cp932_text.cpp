// Code page 932 byte helpers. Any thread.
#include "link/cp932_text.h"

namespace {

// Bytes of the character at p: 2 for a lead byte followed by a second byte.
std::size_t CharLength(const char* p) {
  return IsDoubleByteLead(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
}

}  // namespace

const char* FindLastChar(const char* text, char c) {
  const char* found = nullptr;
  for (const char* p = text; *p != '\0'; p += CharLength(p)) {
    if (*p == c) found = p;
  }
  return found;
}
