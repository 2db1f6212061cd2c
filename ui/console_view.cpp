// Console set-up and the append with its guard, focus rule and line cap.
#include "ui/console_view.h"

#include <commdlg.h>

#include "ui/colours.h"
#include "ui/rtf_guard.h"
#include "ui/ui_messages.h"

const ConsoleStyle kServerConsoleStyle = {"ＭＳ Ｐゴシック", 180, 500, false, 0};

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
  SetOptions(ECOOP_XOR, ECO_SAVESEL);
}

void SendConsoleAppend(HWND console, COLORREF colour, const char* text) {
  if (console == nullptr || text == nullptr) return;
  const bool ownThread = ::GetWindowThreadProcessId(console, nullptr) == ::GetCurrentThreadId();
  ConsoleAppendRequest request = {colour, text};
  ::SendMessageA(console, WM_CONSOLE_APPEND, ownThread ? 1 : 0, reinterpret_cast<LPARAM>(&request));
}

void CConsoleView::AppendConsole(COLORREF colour, const char* text) {
  SendConsoleAppend(m_hWnd, colour, text);
}

LRESULT CConsoleView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONSOLE_APPEND) {
    const auto* request = reinterpret_cast<const ConsoleAppendRequest*>(lParam);
    if (request != nullptr && request->text != nullptr) {
      AppendHere(request->colour, request->text, wParam != 0);
    }
    return 0;
  }
  return CRichEditCtrl::WindowProc(message, wParam, lParam);
}

void CConsoleView::AppendHere(COLORREF colour, const char* text, bool callerMayHaveFocus) {
  if (m_style.guardRtf && IsUnsafeRtf(text)) {
    colour = kCyan;
    text = kRefusedRtfLine;
  }
  CHARFORMATA format;
  FillFormat(&format, m_style);
  format.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE;
  format.crTextColor = colour;

  SendMessage(WM_SETREDRAW, FALSE);
  const bool hadFocus = callerMayHaveFocus && ::GetFocus() == m_hWnd;
  if (hadFocus && m_style.focusHolderId != 0) {
    // Inserted into while focused, the control would move its view with
    // every change; the reader's scroll position is kept instead.
    if (HWND holder = ::GetDlgItem(::GetParent(m_hWnd), m_style.focusHolderId)) ::SetFocus(holder);
  }
  MoveCaretToEnd();
  SetSelectionCharFormat(format);
  ReplaceSel(text, FALSE);
  TrimToCap();
  MoveCaretToEnd();
  if (hadFocus) {
    ::SetFocus(m_hWnd);
  } else {
    SendMessage(EM_SCROLLCARET);
  }
  SendMessage(WM_SETREDRAW, TRUE);
  Invalidate(TRUE);
}

void CConsoleView::MoveCaretToEnd() {
  const long length = GetTextLength();
  // Setting a selection walks the control's paragraphs from the top (about
  // 35 us a call at 1000 lines under Wine); reading it is cheap, and after an
  // append without a trim the caret is at the end already.
  CHARRANGE current = {};
  SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&current));
  if (current.cpMin == length && current.cpMax == length) return;
  SetSel(length, length);
}

void CConsoleView::TrimToCap() {
  if (GetLineCount() < m_style.lineCap) return;
  // The control counts wrapped display lines, so its first line may be only
  // part of the first text line: cut up to the first "\r\n" instead, so no
  // line is left broken in the middle.
  FINDTEXTA find = {};
  find.chrg.cpMin = 0;
  find.chrg.cpMax = -1;
  find.lpstrText = "\r\n";
  const LRESULT lineBreak =
      SendMessage(EM_FINDTEXT, FR_DOWN | FR_MATCHCASE, reinterpret_cast<LPARAM>(&find));
  if (lineBreak < 0) return;
  SetSel(0, static_cast<long>(lineBreak) + 2);
  ReplaceSel("", FALSE);
}
