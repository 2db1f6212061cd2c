// Byte-counted cuts of code page 932 text. A cut never splits a double-byte
// character, so a shortened nickname, topic or chat line stays readable.
// Pure functions; any thread.
#pragma once

#include <cstddef>
#include <string_view>

namespace orla_server {

// True for the first byte of a double-byte character.
inline bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The longest prefix of text, at most limit bytes, that ends on a character
// boundary. A lead byte at the very end of the text (a broken character) is
// counted as one byte.
std::size_t Cp932FitLength(std::string_view text, std::size_t limit);

}  // namespace orla_server
