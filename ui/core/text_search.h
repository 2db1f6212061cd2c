// Finding a word in a console's code page 932 text, as the Find dialog asks:
// forward or backward from a place, round the ends, with or without case,
// as a whole word or anywhere. A match starts and ends on character
// boundaries, so a double-byte character is never matched by half; only
// single-byte letters fold when case is ignored (the second byte of a
// double-byte character can look like a letter: "ア" is 0x83 0x41). A word
// is a run of ASCII letters, digits and underscores, as for a mentioned
// nickname (nick_text.h): a double-byte character, a space or punctuation
// ends one. Pure, no allocation; any thread.
#pragma once

#include <cstddef>

struct TextQuery {
  const char* what;
  std::size_t length;
  bool matchCase;
  bool wholeWord;
};

struct TextMatch {
  // Byte offsets into the text: [begin, end).
  std::size_t begin;
  std::size_t end;
  // The search went round the text's end (or its start, searching up).
  bool wrapped;
};

// Searching down finds the first match that begins at from or after it;
// searching up the last one that begins before from. When there is none on
// that side the search goes round and takes the first (down) or last (up)
// match of the whole text, with wrapped set. false when the text holds no
// match at all, or the query is empty.
bool FindInText(const char* text, std::size_t length, const TextQuery& query, std::size_t from,
                bool down, TextMatch* match);
