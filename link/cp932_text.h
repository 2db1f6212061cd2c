// Byte-level helpers for code page 932 text: which bytes start a double-byte
// character, where a byte-counted cut may fall, a prefix compared without
// case, and a character-aware search for a single-byte character (the bytes
// 0x40-0x7E can also be the second byte of a double-byte character). Pure
// functions; any thread.
#pragma once

#include <cstddef>
#include <string_view>

inline bool IsDoubleByteLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Bytes of the character at p: 2 for a lead byte followed by a second byte.
inline std::size_t CharLength(const char* p) {
  return IsDoubleByteLead(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
}

// The length of the longest prefix of the text that is at most limit bytes
// and ends on a character boundary. A character straddling the limit is left
// out whole; a lead byte at the very end of the text counts as one byte.
inline std::size_t CharBoundaryLength(std::string_view text, std::size_t limit) {
  std::size_t length = 0;
  while (length < text.size()) {
    const bool pair =
        IsDoubleByteLead(static_cast<unsigned char>(text[length])) && length + 1 < text.size();
    const std::size_t next = length + (pair ? 2 : 1);
    if (next > limit) break;
    length = next;
  }
  return length;
}

// true when text begins with the first length bytes of prefix, ASCII letters
// compared without case. Only single-byte characters fold: the second byte of
// a double-byte character can look like a letter ("ア" is 0x83 0x41) and is
// compared as it is. The prefix decides where its characters are.
bool StartsWithIgnoringCase(const char* text, const char* prefix, std::size_t length);

// The last occurrence of the single-byte character c as a character (never as
// the second byte of a double-byte one), or null.
const char* FindLastChar(const char* text, char c);

// Mends a line that was cut to fit its buffer of size bytes (as vsnprintf
// cuts: size - 1 bytes, then a NUL). The cut moves back to a character
// boundary, so no half of a double-byte character is left at the end; when
// endsLine is set (the line's format ends in "\r\n") the kept text ends in
// "\r\n" again, so the next line never runs on into the cut one. Everything
// after the kept text is zeroed.
void MendCutLine(char* buffer, std::size_t size, bool endsLine);
