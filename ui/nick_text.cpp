// Nickname matching in code page 932 text. See nick_text.h.
#include "ui/nick_text.h"

#include <cstring>

#include "link/cp932_text.h"

namespace {

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsWordByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

bool StartsWithIgnoringCase(const char* text, const char* prefix, std::size_t length) {
  std::size_t i = 0;
  while (i < length) {
    if (text[i] == '\0') return false;
    // The prefix decides where its characters are; the text matches only
    // byte for byte there, so both are read the same way.
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

bool MentionsNickname(const char* text, const char* nickname) {
  const std::size_t length = std::strlen(nickname);
  if (length == 0) return false;
  bool afterWord = false;
  for (const char* p = text; *p != '\0'; p += CharLength(p)) {
    // A double-byte character at p + length starts with a lead byte, which
    // is no word byte.
    if (!afterWord && StartsWithIgnoringCase(p, nickname, length) && !IsWordByte(p[length]))
      return true;
    afterWord = CharLength(p) == 1 && IsWordByte(*p);
  }
  return false;
}

bool IsMentionOf(const char* own, const char* sender, const char* text) {
  return std::strcmp(own, sender) != 0 && MentionsNickname(text, own);
}
