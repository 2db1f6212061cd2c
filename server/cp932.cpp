// Character-boundary cuts of code page 932 text.
#include "server/cp932.h"

namespace orla_server {

std::size_t Cp932FitLength(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t at = 0;
  while (at < limit) {
    std::size_t width = IsCp932LeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    if (at + width > limit) break;
    at += width;
  }
  return at;
}

}  // namespace orla_server
