// Fuzz target: the RTF guard that screens every text bound for a console.
// Input: a text, a NUL, a suffix. Besides memory safety on any bytes: a text
// that does not open with "{\rtf" (any case) is never refused; once refused,
// a text stays refused whatever is appended (a rich text reader sees the
// same dangerous words); and an embedded object is refused in any rich text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "ui/core/rtf_guard.h"

namespace {

bool OpensRichText(const std::string& text) {
  static const char kOpening[] = "{\\rtf";
  if (text.size() < 5) return false;
  for (std::size_t i = 0; i < 5; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kOpening[i]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const std::string text(bytes, strnlen(bytes, size));
  const std::string suffix =
      text.size() < size ? std::string(bytes + text.size() + 1, size - text.size() - 1) : "";
  const bool refused = IsUnsafeRtf(text.c_str());
  if (refused && !OpensRichText(text)) __builtin_trap();
  const std::string longer = text + suffix.c_str();
  if (refused && !IsUnsafeRtf(longer.c_str())) __builtin_trap();
  if (OpensRichText(text) && !IsUnsafeRtf((text + "\\objclass").c_str())) __builtin_trap();
  return 0;
}
