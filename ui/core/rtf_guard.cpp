// The RTF guard's rules. Any thread, no state.
//
// Matching is byte-wise: in code page 932 a trail byte can be a backslash or
// a letter, and a rich text reader that walks bytes would still see a control
// word there, so the guard must see it too.
#include "ui/core/rtf_guard.h"

#include <cstring>

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    if (*text == '\0' || FoldAscii(*text) != FoldAscii(*prefix)) return false;
  }
  return true;
}

bool ContainsNoCase(const char* text, const char* word) {
  for (; *text; ++text) {
    if (StartsWithNoCase(text, word)) return true;
  }
  return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A control word that selects a font or colour table entry with an index of
// four digits or more, leading zeros included.
bool HasLongTableIndex(const char* text) {
  const std::size_t length = std::strlen(text);
  std::size_t run = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (!IsDigit(text[i])) {
      run = 0;
      continue;
    }
    if (++run != 4) continue;
    const std::size_t start = i - 3;
    // The text starts with "{\rtf", so a digit never comes before byte 5.
    if (std::strncmp(text + start - 2, "\\f", 2) == 0) return true;
    if (std::strncmp(text + start - 3, "\\cf", 3) == 0) return true;
    if (std::strncmp(text + start - 3, "\\fs", 3) == 0) return true;
  }
  return false;
}

}  // namespace

bool IsUnsafeRtf(const char* text) {
  if (text == nullptr || std::strlen(text) <= 4 || !StartsWithNoCase(text, "{\\rtf")) return false;
  if (ContainsNoCase(text, "\\objclass")) return true;
  if (!ContainsNoCase(text, "\\cf") && !ContainsNoCase(text, "\\f")) return false;
  return HasLongTableIndex(text);
}
