// Web links in console text. See web_link.h.
#include "ui/core/web_link.h"

#include "link/cp932_text.h"

namespace {

bool IsLinkByte(unsigned char byte) {
  if (byte <= 0x20 || byte >= 0x7F) return false;
  switch (byte) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return false;
    default:
      return true;
  }
}

// The length of the scheme that text[0, length) begins with, or 0.
std::size_t SchemeLength(const char* text, std::size_t length) {
  for (const char* scheme : {"http://", "https://"}) {
    std::size_t size = 0;
    while (scheme[size] != '\0') ++size;
    if (size < length && StartsWithIgnoringCase(text, scheme, size)) return size;
  }
  return 0;
}

std::size_t RunEnd(const char* text, std::size_t length, std::size_t at) {
  while (at < length && IsLinkByte(static_cast<unsigned char>(text[at]))) ++at;
  return at;
}

}  // namespace

bool FindWebLink(const char* text, std::size_t length, std::size_t from, WebLink* link) {
  std::size_t at = from;
  while (at < length) {
    if (!IsLinkByte(static_cast<unsigned char>(text[at]))) {
      at += IsDoubleByteLead(static_cast<unsigned char>(text[at])) ? 2 : 1;
      continue;
    }
    // A run of link bytes: a link when it begins with a scheme and goes on.
    const std::size_t end = RunEnd(text, length, at);
    const std::size_t scheme = SchemeLength(text + at, end - at);
    if (scheme != 0) {
      *link = {at, end};
      return true;
    }
    at = end;
  }
  return false;
}

bool WebLinkToOpenAt(const char* text, std::size_t length, std::size_t at, WebLink* link) {
  WebLink found = {};
  for (std::size_t from = 0; FindWebLink(text, length, from, &found); from = found.end) {
    if (found.begin > at) return false;
    if (at < found.end) {
      *link = found;
      return found.end - found.begin <= kMaxOpenedLinkBytes;
    }
  }
  return false;
}
