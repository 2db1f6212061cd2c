// The input history's ring and walk. See input_history.h.
#include "ui/core/input_history.h"

#include <cstring>

#include "link/cp932_text.h"

namespace {

void CopyLine(char (&to)[CInputHistory::kLineSize], const char* from) {
  const std::size_t length = CharBoundaryLength(from, CInputHistory::kLineSize - 1);
  std::memcpy(to, from, length);
  to[length] = '\0';
}

}  // namespace

void CInputHistory::Add(const char* line) {
  m_shown = -1;
  m_draft[0] = '\0';
  // A line sent again (after it could not go) is held once.
  const std::size_t length = CharBoundaryLength(line, kLineSize - 1);
  if (m_count > 0 && std::strncmp(Line(0), line, length) == 0 && Line(0)[length] == '\0') return;
  m_newest = m_count == 0 ? 0 : (m_newest + 1) % kLines;
  if (m_count < kLines) ++m_count;
  CopyLine(m_lines[m_newest], line);
}

const char* CInputHistory::Line(int back) const {
  return m_lines[(m_newest - back + kLines) % kLines];
}

const char* CInputHistory::Older(const char* typed) {
  if (m_shown + 1 >= m_count) return nullptr;
  if (m_shown < 0) CopyLine(m_draft, typed);
  return Line(++m_shown);
}

const char* CInputHistory::Newer() {
  if (m_shown < 0) return nullptr;
  return --m_shown < 0 ? m_draft : Line(m_shown);
}
