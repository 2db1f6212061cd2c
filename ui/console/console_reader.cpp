// The reader's place in a console (CConsoleView members): a selection or a
// view the reader moved away from the end stays on its text while lines
// arrive and the cap trims, and the chat console's marker line above the
// first line that came while its page was hidden. A console whose view is at
// its end with the caret there follows new lines as it always did, at no
// extra cost: the view is only asked about after the reader touched it.
//
// Threads: the control's (user-interface) thread only.
#include "ui/console/console_view.h"
//
#include <commdlg.h>

#include <algorithm>
#include <cstdlib>

#include "ui/core/colours.h"

namespace {

long LineIndex(HWND control, int line) {
  return static_cast<long>(::SendMessageA(control, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
}
int FirstShownLine(HWND control) {
  return static_cast<int>(::SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0));
}
int LineOf(HWND control, long position) {
  return static_cast<int>(::SendMessageA(control, EM_EXLINEFROMCHAR, 0, position));
}
// Scrolls line to the top of the view, or as near as the text allows. A
// line scroll may land a line or two off (Wine counts it in the default
// format's line height), so the line shown is read again after each.
// false when it could not get there.
bool ShowLineAtTop(HWND control, int line) {
  int shown = FirstShownLine(control);
  for (int tries = 0; tries < 4 && shown != line; ++tries) {
    ::SendMessageA(control, EM_LINESCROLL, 0, line - shown);
    const int now = FirstShownLine(control);
    if (now == shown) return false;
    shown = now;
  }
  return shown == line;
}
// The vertical scroll bar's position, -1 when it has none.
int ScrollPosition(HWND control) {
  SCROLLINFO bar = {sizeof(bar), SIF_POS, 0, 0, 0, 0, 0};
  return ::GetScrollInfo(control, SB_VERT, &bar) ? bar.nPos : -1;
}

}  // namespace

bool CConsoleView::ReadReaderPlace(const CHARRANGE& selection, long length, ReaderPlace* place) {
  // Another selection than the last append left: the reader (a click, a
  // drag, a search) moved it, and the view perhaps with it.
  if (selection.cpMin != m_selectionLeft.cpMin || selection.cpMax != m_selectionLeft.cpMax)
    m_viewMayHaveMoved = true;
  const bool caretAtEnd = selection.cpMin == length && selection.cpMax == length;
  if (caretAtEnd && !m_viewMayHaveMoved && !m_viewAway) return false;
  if (m_viewMayHaveMoved) {
    // Asked only after the reader touched the console: a view that stayed
    // where the last append put it is known without asking.
    m_viewMayHaveMoved = false;
    m_viewAway = !ViewAtEnd(length);
    if (m_viewAway) m_awayFirstShown = LineIndex(m_hWnd, FirstShownLine(m_hWnd));
  }
  if (caretAtEnd && !m_viewAway) return false;
  place->keepView = m_viewAway;
  place->firstShown = m_awayFirstShown;
  // The scroll bar's position is the view's offset in pixels (how far the
  // first character is above the formatting rectangle) while the text is
  // less than 65,536 pixels tall. Beyond, the control scales its bar to 16
  // bits, as WM_VSCROLL carries no more: the position is then no pixel
  // count, and the view goes back by lines.
  const int position = ScrollPosition(m_hWnd);
  RECT format = {};
  POINTL first = {};
  SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
  place->viewTop = position == format.top - first.y ? position : -1;
  place->keepSelection = !caretAtEnd;
  place->anchor = selection.cpMin;
  place->active = selection.cpMax;
  place->dragging = place->keepSelection && ::GetCapture() == m_hWnd;
  if (place->dragging) ReadDragEnds(selection, place);
  return true;
}

void CConsoleView::ReadDragEnds(const CHARRANGE& selection, ReaderPlace* place) {
  const bool unmoved =
      selection.cpMin == m_selectionLeft.cpMin && selection.cpMax == m_selectionLeft.cpMax;
  if (unmoved && m_dragAnchorLeft == selection.cpMax) {
    // Put back by the last append, and not moved since: its anchor is known.
    std::swap(place->anchor, place->active);
  } else if (!(unmoved && m_dragAnchorLeft == selection.cpMin)) {
    // A drag extends the selection from its anchor to the pointer: the end
    // nearer the pointer is the active one.
    POINT pointer = {};
    ::GetCursorPos(&pointer);
    ::ScreenToClient(m_hWnd, &pointer);
    POINTL at = {pointer.x, pointer.y};
    const long under =
        static_cast<long>(SendMessage(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at)));
    if (std::labs(under - selection.cpMin) < std::labs(under - selection.cpMax))
      std::swap(place->anchor, place->active);
  }
}

void CConsoleView::RestoreReaderPlace(const ReaderPlace& place, long trimmed, int pixelsTrimmed) {
  // The view first: a selection then set inside the view moves nothing, where
  // set first it would scroll the control to it from the end (which the
  // insert showed) and the view back again.
  int viewPutAt = -1;
  if (place.keepView) viewPutAt = PutViewBack(place, trimmed, pixelsTrimmed);
  if (place.keepSelection) {
    // A trim shifts the selection with its text and cuts what it took.
    const long anchor = std::max(0L, place.anchor - trimmed);
    const long active = std::max(0L, place.active - trimmed);
    if (anchor == active && place.anchor != place.active) {
      MoveCaretToEnd();
    } else if (place.dragging) {
      // Put back below, once the view is.
    } else {
      // The anchor first (EM_SETSEL's order), as a drag left it.
      SendMessage(EM_SETSEL, static_cast<WPARAM>(anchor), active);
      m_selectionLeft = {std::min(anchor, active), std::max(anchor, active)};
    }
  } else {
    MoveCaretToEnd();
  }
  if (place.keepView) {
    // A selection outside the kept view scrolled the control to it: the
    // view once more.
    if (viewPutAt != ScrollPosition(m_hWnd)) PutViewBack(place, trimmed, pixelsTrimmed);
  } else {
    // At the end with a selection held: the view follows, the caret stays.
    // Past this console's own handler: no reader moved it.
    DefWindowProc(WM_VSCROLL, SB_BOTTOM, 0);
  }
  if (place.dragging) {
    // The control extends a drag from the anchor it keeps, which a
    // selection set by message does not reliably give back (Wine puts it
    // at the lower end): the anchor alone, then a move of the drag to the
    // active end's character, wherever the view now shows it.
    const long anchor = std::max(0L, place.anchor - trimmed);
    POINTL at = {};
    SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at),
                std::max(0L, place.active - trimmed));
    SendMessage(EM_SETSEL, static_cast<WPARAM>(anchor), anchor);
    DefWindowProc(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y + 1));
    SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&m_selectionLeft));
    m_dragAnchorLeft = anchor;
  }
}

int CConsoleView::PutViewBack(const ReaderPlace& place, long trimmed, int pixelsTrimmed) {
  // The same text at the top, or the oldest line when the trim took it.
  const bool gone = place.firstShown < trimmed;
  m_awayFirstShown = gone ? 0 : place.firstShown - trimmed;
  const int top = gone ? 0 : place.viewTop - pixelsTrimmed;
  // The same pixel offset over the same text, in one scroll, and none when
  // the bar is there already: a control that did not follow the insert (one
  // without the focus, on Windows) is then a trimmed line off at most, a
  // short scroll. Past this console's own handler: no reader moved it.
  if (place.viewTop >= 0 && top >= 0 && top <= 0xFFFF && ScrollPosition(m_hWnd) != top)
    DefWindowProc(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, top), 0);
  // A position that is no pixel count, or a scroll that did not land there
  // (nothing documents a thumb position sent by the program): by lines.
  if (ScrollPosition(m_hWnd) != top &&
      !ShowLineAtTop(m_hWnd, gone ? 0 : LineOf(m_hWnd, m_awayFirstShown))) {
    // Short of the line (the text's end stops it), the view is asked about
    // again next time.
    m_viewMayHaveMoved = true;
  }
  return ScrollPosition(m_hWnd);
}

bool CConsoleView::ViewAtEnd(long length) {
  // The last line with text; a text ending in a line break has an empty
  // line after it, which a view scrolled to the end need not show.
  const int last = GetLineCount() - 1;
  long start = LineIndex(m_hWnd, last);
  if (last > 0 && start >= length) start = LineIndex(m_hWnd, last - 1);
  POINTL at = {};
  SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), start);
  CRect client;
  GetClientRect(&client);
  return at.y < client.bottom;
}

void CConsoleView::ShiftMarksBy(long trimmed) {
  if (trimmed <= 0) return;
  // Trimmed up to it, the marker has no line left above it.
  if (m_markerAt >= 0 && (m_markerAt -= trimmed) <= 0) m_markerAt = -1;
  if (m_leftAt >= 0) m_leftAt = std::max(0L, m_leftAt - trimmed);
  // A press on a link waiting for its release: the same link, or none when
  // its line went.
  if (m_pressedLink >= 0 && (m_pressedLink -= trimmed) < 0) m_pressedLink = -1;
}

LRESULT CConsoleView::OnReaderMoves(WPARAM, LPARAM) {
  m_viewMayHaveMoved = true;
  return Default();
}

// ---- the marker where the reader left off --------------------------------------

void CConsoleView::ReaderLeaves() {
  if (m_hWnd == nullptr || m_leftAt >= 0) return;
  m_leftAt = GetTextLength();
}

void CConsoleView::ReaderReturns() {
  if (m_hWnd == nullptr || m_leftAt < 0) return;
  const long left = m_leftAt;
  m_leftAt = -1;
  // Shown with its page at once, not when a burst's pacing would have got
  // round to it.
  m_redraw.Flush();
  // Nothing new: the marker stays where it was, if anywhere.
  if (left > 0 && GetTextLength() > left) m_markerAt = left;
}

bool CConsoleView::SelectFirstNewLine() {
  if (m_hWnd == nullptr || m_markerAt < 0) return false;
  FINDTEXTA find = {};
  find.chrg.cpMin = m_markerAt;
  find.chrg.cpMax = -1;
  find.lpstrText = "\r\n";
  LRESULT end = SendMessage(EM_FINDTEXT, FR_DOWN | FR_MATCHCASE, reinterpret_cast<LPARAM>(&find));
  if (end < 0) end = GetTextLength();
  SetSel(m_markerAt, static_cast<long>(end));
  ShowLineAtTop(m_hWnd, LineOf(m_hWnd, m_markerAt));
  m_selectionLeft = {-1, -1};
  m_viewMayHaveMoved = true;
  return true;
}

void CConsoleView::OnPaint() {
  CRichEditCtrl::OnPaint();
  if (m_markerAt <= 0) return;
  POINTL at = {};
  SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), m_markerAt);
  CRect client;
  GetClientRect(&client);
  if (at.y < client.top || at.y >= client.bottom) return;
  // Two pixels across the gap above the first new line, on the control's
  // painting; the stock brush of the DC's colour allocates nothing.
  const RECT line = {client.left, std::max(client.top, static_cast<LONG>(at.y) - 1), client.right,
                     std::min(client.bottom, static_cast<LONG>(at.y) + 1)};
  HDC dc = ::GetDC(m_hWnd);
  if (dc == nullptr) return;
  ::SetDCBrushColor(dc, kReadMarker);
  ::FillRect(dc, &line, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
  ::ReleaseDC(m_hWnd, dc);
}
