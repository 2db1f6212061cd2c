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

namespace {

// The control's display lines, as its messages give them.
struct DisplayLines {
  HWND control;
  int count;
  long Start(int line) const {
    return static_cast<long>(::SendMessageA(control, EM_LINEINDEX, line, 0));
  }
  long Units(long lineStart) const {
    return static_cast<long>(::SendMessageA(control, EM_LINELENGTH, lineStart, 0));
  }
  // The text line goes on in the next display line (a line break shows as
  // a gap between one line's end and the next one's start).
  bool Continues(int line) const {
    return line + 1 < count && Start(line + 1) == Start(line) + Units(Start(line));
  }
};

// The text read around a click, in bytes, with where the click is in it.
struct ClickedText {
  char text[kClickTextBytes];
  std::size_t used = 0, clickAt = 0, usedUnits = 0;
  long firstStart = 0;  // the control position of text[0]
};

// Reads the display lines of the clicked text line only: positions, line
// starts and line lengths count alike, and a line's text read with
// EM_GETLINE gives its bytes. A link may wrap across display lines, so the
// window reaches back and on through the text line as far as a link that
// may be opened reaches. false when the click is on no character.
bool ReadClickedText(HWND control, CPoint point, ClickedText* clicked) {
  POINTL at = {point.x, point.y};
  const auto position =
      static_cast<long>(::SendMessageA(control, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at)));
  if (position < 0) return false;
  const DisplayLines lines = {control,
                              static_cast<int>(::SendMessageA(control, EM_GETLINECOUNT, 0, 0))};
  const auto clickedLine = static_cast<int>(::SendMessageA(control, EM_EXLINEFROMCHAR, 0, position));
  int first = clickedLine;
  for (long before = 0; first > 0 && lines.Continues(first - 1) &&
                        before < static_cast<long>(kMaxOpenedLinkBytes);) {
    --first;
    before += 2 * lines.Units(lines.Start(first));
  }
  clicked->firstStart = lines.Start(first);
  char* text = clicked->text;
  std::size_t& used = clicked->used;
  for (int line = first; line < lines.count; ++line) {
    const long lineStart = lines.Start(line);
    const long lineUnits = lines.Units(lineStart);
    // EM_GETLINE: the buffer's first WORD gives its size; the copy is not
    // terminated and may hold the line break.
    const std::size_t room = kClickTextBytes - used - 1;
    if (room < sizeof(WORD)) break;
    const auto size = static_cast<WORD>(room);
    std::memcpy(text + used, &size, sizeof size);
    auto bytes = static_cast<std::size_t>(
        ::SendMessageA(control, EM_GETLINE, line, reinterpret_cast<LPARAM>(text + used)));
    if (bytes > room) bytes = 0;
    while (bytes > 0 && (text[used + bytes - 1] == '\r' || text[used + bytes - 1] == '\n')) --bytes;
    // Cut on a character boundary if the copy was cut short.
    bytes = CharBoundaryLength(std::string_view(text + used, bytes), bytes);
    text[used + bytes] = '\0';
    if (line == clickedLine)
      clicked->clickAt = used + ByteOffsetOfPosition(text + used, static_cast<std::size_t>(lineUnits),
                                                     static_cast<std::size_t>(position - lineStart));
    used += bytes;
    clicked->usedUnits += static_cast<std::size_t>(lineUnits);
    if (line >= clickedLine && (!lines.Continues(line) ||
                                used - clicked->clickAt >= kMaxOpenedLinkBytes || bytes == room))
      break;
  }
  return true;
}

}  // namespace

long CConsoleView::LinkStartAt(CPoint point, long openIfAt) {
  ClickedText clicked;
  if (!ReadClickedText(m_hWnd, point, &clicked)) return -1;
  WebLink link = {};
  if (!WebLinkToOpenAt(clicked.text, clicked.used, clicked.clickAt, &link)) return -1;
  // The link's first character as a control position: which link it is.
  const long linkStart = clicked.firstStart + static_cast<long>(PositionOfByteOffset(
                                                  clicked.text, clicked.usedUnits, link.begin));
  if (linkStart == openIfAt) OpenWebLink(clicked.text + link.begin, link.end - link.begin);
  return linkStart;
}
