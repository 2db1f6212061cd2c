// Web links in console text: a run of link characters (printable ASCII that
// an address may hold) that begins with "http://" or "https://" in any case,
// with at least one character after the scheme. Only these two schemes are
// links: "file:", "mailto:", "\\server\share" and the like never are, and a
// backslash, a quote, angle brackets, a space or any double-byte character
// ends a link. Byte offsets into code page 932 text; the second byte of a
// double-byte character is never read as part of a link. Pure; any thread.
#pragma once

#include <cstddef>

// A link longer than this is shown but never opened.
constexpr std::size_t kMaxOpenedLinkBytes = 2048;

struct WebLink {
  std::size_t begin;
  std::size_t end;
};

// The first link that begins at or after from (a character boundary) in
// text[0, length); false when there is none.
bool FindWebLink(const char* text, std::size_t length, std::size_t from, WebLink* link);

// The link to open for a click on the byte at, in text[0, length) read from
// a character boundary; false when that byte is in none, or its link is
// longer than kMaxOpenedLinkBytes.
bool WebLinkToOpenAt(const char* text, std::size_t length, std::size_t at, WebLink* link);
