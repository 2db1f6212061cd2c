// Console set-up and the append with its guard and line cap.
#include "ui/console/console_view.h"

#include <commdlg.h>
#include <richole.h>
#include <tom.h>

#include "ui/console/text_object_ids.h"
#include "ui/core/colours.h"
#include "ui/core/rtf_guard.h"
#include "ui/ui_messages.h"

const ConsoleStyle kServerConsoleStyle = {"ＭＳ Ｐゴシック", 180, 500, false};

const char kRefusedRtfLine[] = "不正なタグを使用！\r\n";

namespace {

void FillFormat(CHARFORMATA* format, const ConsoleStyle& style) {
  ZeroMemory(format, sizeof(*format));
  format->cbSize = sizeof(*format);
  format->yHeight = style.heightTwips;
  lstrcpynA(format->szFaceName, style.faceName, LF_FACESIZE);
}

}  // namespace

void CConsoleView::SetUp() {
  CHARFORMATA format;
  FillFormat(&format, m_style);
  format.dwMask = CFM_SIZE | CFM_FACE;
  SetDefaultCharFormat(format);
  SetBackgroundColor(FALSE, kBlack);
  // The selection is kept and shown while the control lacks the focus: a
  // match of Find while the Find dialog has it, the reader's own selection
  // while they type in the input line. Added to what the template gave,
  // never toggled.
  SetOptions(ECOOP_OR, ECO_SAVESEL | ECO_NOHIDESEL);
}

void SendConsoleAppend(HWND console, COLORREF colour, const char* text) {
  if (console == nullptr || text == nullptr) return;
  ConsoleAppendRequest request = {colour, text};
  ::SendMessageA(console, WM_CONSOLE_APPEND, 0, reinterpret_cast<LPARAM>(&request));
}

void CConsoleView::AppendConsole(COLORREF colour, const char* text) {
  SendConsoleAppend(m_hWnd, colour, text);
}

CConsoleView::~CConsoleView() { ReleaseTextObjects(); }

BEGIN_MESSAGE_MAP(CConsoleView, CRichEditCtrl)
  ON_WM_DESTROY()
  ON_MESSAGE(WM_CONSOLE_APPEND, OnConsoleAppend)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_REGISTERED_MESSAGE(g_findReplaceMessage, OnFindReplace)
  // The reader's place (console_reader.cpp).
  ON_WM_PAINT()
  ON_MESSAGE(WM_VSCROLL, OnReaderMoves)
  ON_MESSAGE(WM_MOUSEWHEEL, OnReaderMoves)
  ON_MESSAGE(WM_KEYDOWN, OnReaderMoves)
END_MESSAGE_MAP()

void CConsoleView::OnDestroy() {
  m_redraw.Forget();
  ReleaseTextObjects();
  m_textObjectsTried = false;
  CRichEditCtrl::OnDestroy();
}

LRESULT CConsoleView::OnConsoleAppend(WPARAM, LPARAM lParam) {
  const auto* request = reinterpret_cast<const ConsoleAppendRequest*>(lParam);
  if (request != nullptr && request->text != nullptr) {
    AppendHere(request->colour, request->text);
  }
  return 0;
}

void CConsoleView::AppendHere(COLORREF colour, const char* text) {
  if (m_style.guardRtf && IsUnsafeRtf(text)) {
    colour = kCyan;
    text = kRefusedRtfLine;
  }
  CHARFORMATA format;
  FillFormat(&format, m_style);
  format.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE;
  format.crTextColor = colour;
  // Text that ended in a link left the control's insertion format
  // underlined: this append turns it off again.
  if (m_endsInLink) format.dwMask |= CFM_UNDERLINE;

  // The focus stays where it is, in this console too: every move of it
  // would be announced by a screen reader and recreate the caret. A focused
  // control may scroll to the insertion as the text goes in; the reader's
  // view and selection are put back on their text after the append
  // (console_reader.cpp).
  m_redraw.BeginChange(m_hWnd);
  const long length = GetTextLength();
  CHARRANGE selection = {};
  SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  ReaderPlace place = {};
  const bool keepPlace = ReadReaderPlace(selection, length, &place);
  if (selection.cpMin != length || selection.cpMax != length) SetSel(length, length);
  SetSelectionCharFormat(format);
  InsertShowingLinks(&format, text);
  int pixelsTrimmed = 0;
  const long trimmed = TrimToCap(keepPlace && place.keepView ? &pixelsTrimmed : nullptr);
  ShiftMarksBy(trimmed);
  if (keepPlace) {
    RestoreReaderPlace(place, trimmed, pixelsTrimmed);
  } else {
    MoveCaretToEnd();
    SendMessage(EM_SCROLLCARET);
  }
  // Redrawing on and the whole console invalidated, or, within a burst of
  // appends, a repaint now and then (ui/console/burst_redraw.h).
  m_redraw.EndChange();
}

void CConsoleView::MoveCaretToEnd() {
  const long length = GetTextLength();
  // Setting a selection walks the control's paragraphs from the top (about
  // 35 us a call at 1000 lines under Wine); reading it is cheap, and after an
  // append without a trim the caret is at the end already.
  CHARRANGE current = {};
  SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&current));
  m_selectionLeft = {length, length};
  if (current.cpMin == length && current.cpMax == length) return;
  SetSel(length, length);
}

long CConsoleView::TrimToCap(int* pixelsTrimmed) {
  if (GetLineCount() < m_style.lineCap) return 0;
  // The control counts wrapped display lines, so its first line may be only
  // part of the first text line: cut up to the first "\r\n" instead, so no
  // line is left broken in the middle.
  FINDTEXTA find = {};
  find.chrg.cpMin = 0;
  find.chrg.cpMax = -1;
  find.lpstrText = "\r\n";
  const LRESULT lineBreak =
      SendMessage(EM_FINDTEXT, FR_DOWN | FR_MATCHCASE, reinterpret_cast<LPARAM>(&find));
  if (lineBreak < 0) return 0;
  // The line with its "\r\n", in message positions either way.
  const long trimmed = static_cast<long>(lineBreak) + 2;
  // Measured before the cut: Wine can lose its way asking about a position
  // in the first paragraph right after a deletion through a range.
  if (pixelsTrimmed != nullptr) {
    POINTL first = {};
    POINTL next = {};
    SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
    SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&next), trimmed);
    *pixelsTrimmed = static_cast<int>(next.y - first.y);
  }
  if (DeleteQuietlyThrough(static_cast<long>(lineBreak))) return trimmed;
  // Found and deleted in the same (message) positions. This moves the
  // selection and the view: the append puts the reader's back.
  SetSel(0, trimmed);
  ReplaceSel("", FALSE);
  return trimmed;
}

bool CConsoleView::DeleteQuietlyThrough(long lineBreak) {
  // Selecting the first line to delete it makes the control scroll its view
  // to the top and, when the caret goes back, to the end again: under Wine
  // about 0.5 ms an append at 1000 lines against 0.1 ms for deleting a range
  // of the text object model, which leaves selection and view alone.
  if (!m_textObjectsTried) {
    m_textObjectsTried = true;
    IRichEditOle* ole = nullptr;
    SendMessage(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
    if (ole == nullptr) return false;
    ole->QueryInterface(kTextDocumentIid, reinterpret_cast<void**>(&m_textDocument));
    ole->Release();
    if (m_textDocument != nullptr && m_textDocument->Range(0, 0, &m_trimRange) != S_OK)
      m_trimRange = nullptr;
    // An empty text deletes a range; a null one is documented as invalid.
    m_emptyText = ::SysAllocStringLen(nullptr, 0);
    if (m_emptyText == nullptr) ReleaseTextObjects();
  }
  if (m_trimRange == nullptr) return false;
  if (DeleteThroughRange(lineBreak)) return true;
  // A range that refused once would refuse every later trim as well (the
  // control is read-only for good): the messages trim this console from now
  // on.
  ReleaseTextObjects();
  return false;
}

bool CConsoleView::DeleteThroughRange(long lineBreak) {
  // The break was found in message positions, and the range counts in the
  // text object model's. They agree under Wine; nothing promises that every
  // version of the control counts a paragraph break alike in both ("\r\n" or
  // a lone "\r"). So the range reads its own text first: the break must
  // start where the message said, and the range ends after it as its own
  // text has it. Anything else cuts nothing.
  long first = 0;
  long second = 0;
  if (m_trimRange->SetRange(lineBreak, lineBreak) != S_OK || m_trimRange->GetChar(&first) != S_OK ||
      first != '\r')
    return false;
  if (m_trimRange->SetRange(lineBreak + 1, lineBreak + 1) != S_OK ||
      m_trimRange->GetChar(&second) != S_OK)
    return false;
  const long end = lineBreak + (second == '\n' ? 2 : 1);
  if (m_trimRange->SetRange(0, end) != S_OK) return false;
  HRESULT deleted = m_trimRange->SetText(m_emptyText);
  // Windows refuses every change through a range of a read-only control
  // (Wine does not). The console is read-only against the user's typing
  // only, so that state is lifted for the deletion and put back at once.
  if (deleted == E_ACCESSDENIED && (GetStyle() & ES_READONLY) != 0) {
    SendMessage(EM_SETREADONLY, FALSE);
    deleted = m_trimRange->SetText(m_emptyText);
    SendMessage(EM_SETREADONLY, TRUE);
  }
  if (deleted != S_OK) return false;
  // The deletion leaves an undo step, which the console never keeps.
  SendMessage(EM_EMPTYUNDOBUFFER);
  return true;
}

void CConsoleView::ReleaseTextObjects() {
  if (m_trimRange != nullptr) m_trimRange->Release();
  if (m_textDocument != nullptr) m_textDocument->Release();
  ::SysFreeString(m_emptyText);
  m_emptyText = nullptr;
  m_trimRange = nullptr;
  m_textDocument = nullptr;
}
