// Byte-level helpers for code page 932 text: which bytes start a double-byte
// character, where a byte-counted cut may fall, and a character-aware search
// for a single-byte character (the bytes 0x40-0x7E can also be the second
// byte of a double-byte character). Pure functions; any thread.
#pragma once

#include <cstddef>

inline bool IsDoubleByteLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The length of the longest prefix of the NUL-terminated text that is at
// most limit bytes and ends on a character boundary. A character straddling
// the limit is left out whole; a lead byte right before the NUL counts as one
// byte.
std::size_t CharBoundaryLength(const char* text, std::size_t limit);

// The last occurrence of the single-byte character c as a character (never as
// the second byte of a double-byte one), or null.
const char* FindLastChar(const char* text, char c);
