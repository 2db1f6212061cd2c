// Nickname matching in code page 932 text. See nick_text.h.
#include "ui/core/nick_text.h"

#include <cstring>

#include "link/cp932_text.h"

namespace {

bool IsWordByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

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
