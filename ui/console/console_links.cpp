// The consoles' web links: shown underlined as their text goes in, opened
// with a click. Which text is a link is web_link.h's rule, the same for both.
#include <cstring>
#include <string_view>

#include "link/cp932_text.h"
#include "ui/console/console_view.h"
#include "ui/console/web_link_open.h"
#include "ui/core/edit_offsets.h"
#include "ui/core/web_link.h"

void CConsoleView::InsertShowingLinks(CHARFORMATA* format, const char* text) {
  const std::size_t length = std::strlen(text);
  WebLink link = {};
  if (!FindWebLink(text, length, 0, &link)) {
    m_endsInLink = false;
    ReplaceSel(text, FALSE);
    return;
  }
  std::size_t at = 0;
  do {
    InsertPiece(text + at, link.begin - at);
    format->dwMask |= CFM_UNDERLINE;
    format->dwEffects = CFE_UNDERLINE;
    SetSelectionCharFormat(*format);
    InsertPiece(text + link.begin, link.end - link.begin);
    format->dwEffects = 0;
    SetSelectionCharFormat(*format);
    at = link.end;
  } while (FindWebLink(text, length, at, &link));
  m_endsInLink = at == length;
  InsertPiece(text + at, length - at);
}

void CConsoleView::InsertPiece(const char* piece, std::size_t length) {
  // The control takes NUL-terminated text: a copy on the stack, in parts
  // cut on character boundaries.
  char part[512];
  while (length > 0) {
    const std::size_t size = CharBoundaryLength(std::string_view(piece, length), sizeof part - 1);
    std::memcpy(part, piece, size);
    part[size] = '\0';
    ReplaceSel(part, FALSE);
    piece += size;
    length -= size;
  }
}

namespace {

// Room for the clicked display line and, on either side, as much of its
// text line as a link that may be opened can span.
const std::size_t kClickTextBytes = 3 * kMaxOpenedLinkBytes + 512;

}  // namespace

void CConsoleView::OnLButtonDown(UINT nFlags, CPoint point) {
  // Read before the control starts a selection; the text is the same.
  m_pressedLink = LinkStartAt(point);
  CRichEditCtrl::OnLButtonDown(nFlags, point);
}

void CConsoleView::OnLButtonUp(UINT nFlags, CPoint point) {
  CRichEditCtrl::OnLButtonUp(nFlags, point);
  // A release alone (after a double-click elsewhere that moved or resized a
  // window, or the second release of a double-click) opens nothing: the
  // button must have gone down on this same link.
  const long pressed = m_pressedLink;
  m_pressedLink = -1;
  if (pressed < 0) return;
  // A drag that selected text is not a click on a link.
  CHARRANGE selection = {};
  SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  if (selection.cpMin != selection.cpMax) return;
  LinkStartAt(point, pressed);
}

long CConsoleView::LinkStartAt(CPoint point, long openIfAt) {
  POINTL at = {point.x, point.y};
  const auto position =
      static_cast<long>(SendMessage(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at)));
  if (position < 0) return -1;
  // Only the display lines of the clicked text line are read: positions,
  // line starts and line lengths count alike, and a line's text read with
  // EM_GETLINE gives its bytes. A link may wrap across display lines, so
  // the window reaches back and on through the text line (a line break
  // shows as a gap between one line's end and the next one's start), as far
  // as a link that may be opened reaches.
  const auto clickedLine = static_cast<int>(SendMessage(EM_EXLINEFROMCHAR, 0, position));
  const auto lineCount = static_cast<int>(SendMessage(EM_GETLINECOUNT));
  auto start = [this](int line) { return static_cast<long>(SendMessage(EM_LINEINDEX, line)); };
  auto units = [this](long lineStart) {
    return static_cast<long>(SendMessage(EM_LINELENGTH, lineStart));
  };
  auto continues = [&](int line) {
    return line + 1 < lineCount && start(line + 1) == start(line) + units(start(line));
  };
  int first = clickedLine;
  for (long before = 0;
       first > 0 && continues(first - 1) && before < static_cast<long>(kMaxOpenedLinkBytes);) {
    --first;
    before += 2 * units(start(first));
  }
  char text[kClickTextBytes];
  std::size_t used = 0, clickAt = 0, usedUnits = 0;
  for (int line = first; line < lineCount; ++line) {
    const long lineStart = start(line);
    const long lineUnits = units(lineStart);
    // EM_GETLINE: the buffer's first WORD gives its size; the copy is not
    // terminated and may hold the line break.
    const std::size_t room = kClickTextBytes - used - 1;
    if (room < sizeof(WORD)) break;
    const auto size = static_cast<WORD>(room);
    std::memcpy(text + used, &size, sizeof size);
    auto bytes = static_cast<std::size_t>(
        SendMessage(EM_GETLINE, line, reinterpret_cast<LPARAM>(text + used)));
    if (bytes > room) bytes = 0;
    while (bytes > 0 && (text[used + bytes - 1] == '\r' || text[used + bytes - 1] == '\n')) --bytes;
    // Cut on a character boundary if the copy was cut short.
    bytes = CharBoundaryLength(std::string_view(text + used, bytes), bytes);
    text[used + bytes] = '\0';
    if (line == clickedLine)
      clickAt = used + ByteOffsetOfPosition(text + used, static_cast<std::size_t>(lineUnits),
                                            static_cast<std::size_t>(position - lineStart));
    used += bytes;
    usedUnits += static_cast<std::size_t>(lineUnits);
    if (line >= clickedLine &&
        (!continues(line) || used - clickAt >= kMaxOpenedLinkBytes || bytes == room))
      break;
  }
  WebLink link = {};
  if (!WebLinkToOpenAt(text, used, clickAt, &link)) return -1;
  // The link's first character as a control position: which link it is.
  const long linkStart =
      start(first) + static_cast<long>(PositionOfByteOffset(text, usedUnits, link.begin));
  if (linkStart == openIfAt) OpenWebLink(text + link.begin, link.end - link.begin);
  return linkStart;
}
