// The consoles' web links: shown underlined as their text goes in, opened
// with a click. Which text is a link is web_link.h's rule, the same for both.
#include <cstring>
#include <memory>
#include <new>
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

void CConsoleView::OnLButtonUp(UINT nFlags, CPoint point) {
  CRichEditCtrl::OnLButtonUp(nFlags, point);
  // A drag that selected text is not a click on a link.
  CHARRANGE selection = {};
  SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  if (selection.cpMin != selection.cpMax) return;
  POINTL at = {point.x, point.y};
  OpenLinkAt(static_cast<long>(SendMessage(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at))));
}

void CConsoleView::OpenLinkAt(long position) {
  // The whole text, read once for the click: a part of it read by position
  // can come back cut short where it holds double-byte characters. Its
  // length in characters, as positions count them ("\r\n" as two), and
  // room for two bytes each (Wine's text length counts characters).
  GETTEXTLENGTHEX count = {GTL_PRECISE | GTL_USECRLF | GTL_NUMCHARS, CP_ACP};
  const auto units =
      static_cast<std::size_t>(SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&count)));
  if (position < 0) return;
  // No exception may leave the window procedure: a click that finds no
  // memory for the text opens nothing.
  const std::size_t size = 2 * units + 2;
  // Zeroed: Wine's copy of a text that does not fit is not terminated.
  std::unique_ptr<char[]> text(new (std::nothrow) char[size]());
  if (!text) return;
  GetWindowText(text.get(), static_cast<int>(size - 1));
  const std::size_t length = std::strlen(text.get());
  const std::size_t at =
      ByteOffsetOfPosition(text.get(), units, static_cast<std::size_t>(position));
  WebLink link = {};
  if (!WebLinkToOpenAt(text.get(), length, at, &link)) return;
  OpenWebLink(text.get() + link.begin, link.end - link.begin);
}
