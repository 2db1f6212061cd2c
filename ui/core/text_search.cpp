// Searching code page 932 text. See text_search.h.
#include "ui/core/text_search.h"

#include "link/cp932_text.h"

namespace {

bool IsWordByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The bytes of the character at p that the text still holds: a lead byte at
// the very end stands alone.
std::size_t CharAt(const char* p, const char* end) {
  return IsDoubleByteLead(static_cast<unsigned char>(*p)) && p + 1 < end ? 2 : 1;
}

// Whether the query matches at p, a character boundary: character for
// character, so the text's characters there are the query's.
bool MatchesAt(const char* p, const char* end, const TextQuery& query) {
  const char* what = query.what;
  const char* whatEnd = query.what + query.length;
  while (what < whatEnd) {
    if (p >= end) return false;
    const std::size_t size = CharAt(what, whatEnd);
    if (CharAt(p, end) != size) return false;
    if (size == 2) {
      if (p[0] != what[0] || p[1] != what[1]) return false;
    } else if (query.matchCase ? *p != *what : Folded(*p) != Folded(*what)) {
      return false;
    }
    p += size;
    what += size;
  }
  // A double-byte character after the match starts with a lead byte, which
  // is no word byte.
  return !query.wholeWord || p == end || !IsWordByte(*p);
}

// What one walk over the text found: the first match, the first at or
// after the place searched from and the last before it.
struct MatchWalk {
  bool any = false, afterFrom = false, beforeFrom = false;
  std::size_t firstAt = 0, afterAt = 0, beforeAt = 0, lastAt = 0;
};

// Characters are only known from the start of the text: it is walked once,
// stopping as soon as the direction searched has what it needs.
MatchWalk WalkMatches(const char* text, std::size_t length, const TextQuery& query,
                      std::size_t from, bool down) {
  const char* end = text + length;
  const char first = query.matchCase ? query.what[0] : Folded(query.what[0]);
  MatchWalk walk;
  bool afterWord = false;
  for (const char* p = text; p < end;) {
    const auto at = static_cast<std::size_t>(p - text);
    if (!down && walk.beforeFrom && at >= from) break;
    const std::size_t size = CharAt(p, end);
    const char c = query.matchCase ? *p : Folded(*p);
    if (c == first && !(query.wholeWord && afterWord) && MatchesAt(p, end, query)) {
      if (!walk.any) walk.firstAt = at;
      walk.any = true;
      walk.lastAt = at;
      if (at < from) {
        walk.beforeFrom = true;
        walk.beforeAt = at;
      } else if (down) {
        walk.afterFrom = true;
        walk.afterAt = at;
        break;
      }
    }
    afterWord = size == 1 && IsWordByte(*p);
    p += size;
  }
  return walk;
}

}  // namespace

bool FindInText(const char* text, std::size_t length, const TextQuery& query, std::size_t from,
                bool down, TextMatch* match) {
  if (query.length == 0) return false;
  const MatchWalk walk = WalkMatches(text, length, query, from, down);
  if (!walk.any) return false;
  std::size_t at = 0;
  if (down) {
    match->wrapped = !walk.afterFrom;
    at = walk.afterFrom ? walk.afterAt : walk.firstAt;
  } else {
    match->wrapped = !walk.beforeFrom;
    // Going round from the start takes the text's last match: the walk ran
    // to the end only when it found none before from.
    at = walk.beforeFrom ? walk.beforeAt : walk.lastAt;
  }
  match->begin = at;
  // The match's length in the text equals the query's: equal characters.
  match->end = at + query.length;
  return true;
}
