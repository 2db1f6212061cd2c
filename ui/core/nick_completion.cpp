// Nick completion over the line, the caret and the user list. See
// nick_completion.h.
#include "ui/core/nick_completion.h"

#include <cstring>

#include "link/cp932_text.h"

std::size_t PartialWordStart(const char* line, std::size_t caret) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < caret && line[i] != '\0'; i += CharLength(line + i)) {
    if (line[i] == ' ') start = i + 1;
  }
  return start;
}

bool CNickCompletion::FindMatch(const INameList& names, int matchIndex, char* name) const {
  const std::size_t length = std::strlen(m_prefix);
  const int count = names.Count();
  for (int row = 0; row < count; ++row) {
    if (!StartsWithIgnoringCase(names.Name(row, name, kLineSize), m_prefix, length)) continue;
    if (matchIndex-- == 0) return true;
  }
  return false;
}

bool CNickCompletion::Complete(const char* line, std::size_t caret, const INameList& names,
                               char* out, std::size_t* outCaret) {
  const std::size_t lineLength = std::strlen(line);
  if (lineLength >= kLineSize) return false;
  if (caret > lineLength) caret = lineLength;
  const bool repeated = m_match >= 0 && caret == m_caret && std::strcmp(line, m_line) == 0;
  std::size_t wordStart = m_wordStart;
  int match = m_match + 1;
  if (!repeated) {
    wordStart = PartialWordStart(line, caret);
    match = 0;
    std::memcpy(m_prefix, line + wordStart, caret - wordStart);
    m_prefix[caret - wordStart] = '\0';
  }
  m_match = -1;
  char name[kLineSize];
  bool found = wordStart < caret && FindMatch(names, match, name);
  // After the last match the cycle goes round again.
  if (!found && match > 0) found = FindMatch(names, match = 0, name);
  if (!found) return false;

  // The word (or the last name put in its place) is replaced; what followed
  // the caret stays.
  const char* suffix = wordStart == 0 ? ": " : "";
  const std::size_t nameLength = std::strlen(name) + std::strlen(suffix);
  const char* tail = line + caret;
  if (wordStart + nameLength + std::strlen(tail) >= kLineSize) return false;
  std::memcpy(out, line, wordStart);
  std::strcpy(out + wordStart, name);
  std::strcat(out, suffix);
  std::strcat(out, tail);
  *outCaret = wordStart + nameLength;

  m_wordStart = wordStart;
  m_match = match;
  std::strcpy(m_line, out);
  m_caret = *outCaret;
  return true;
}
