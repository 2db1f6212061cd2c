// Find in a console's scrollback. See console_find.h.
#include "ui/console/console_find.h"

#include <cstring>
#include <new>
// The Find dialog's control ids (edt1).
#include <dlgs.h>

#include "ui/console/console_view.h"
#include "ui/core/edit_offsets.h"
#include "ui/core/text_search.h"

namespace {

const UINT kNoticeMs = 3000;
const UINT_PTR kNoticeTimer = 1;

// Hides the notice (the tooltip window) once its time is up.
void CALLBACK HideNotice(HWND notice, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(notice, timer);
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  if (::SendMessageA(notice, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)))
    ::SendMessageA(notice, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

UINT g_findReplaceMessage = 0;

LRESULT CConsoleView::OnFindReplace(WPARAM, LPARAM lParam) { return m_find.OnFindReplace(lParam); }

CConsoleFind::~CConsoleFind() {
  // Both are owned by the top-level window, which may outlive the console.
  if (m_dialog && CWnd::FromHandlePermanent(m_dialog)) ::DestroyWindow(m_dialog);
  if (m_notice && ::IsWindow(m_notice)) ::DestroyWindow(m_notice);
}

void CConsoleFind::Close() {
  const HWND dialog = m_dialog;
  m_dialog = nullptr;
  // The page that goes keeps nothing of the focus.
  m_focusBefore = nullptr;
  if (dialog && CWnd::FromHandlePermanent(dialog)) ::DestroyWindow(dialog);
  if (m_notice && ::IsWindow(m_notice)) HideNotice(m_notice, WM_TIMER, kNoticeTimer, 0);
}

bool CConsoleFind::PageShown() const { return ::IsWindowVisible(::GetParent(m_console.m_hWnd)); }

bool CConsoleFind::PreTranslateKey(const MSG& msg) {
  // A hidden page can hold the focus (the system lets it): its keys search
  // nothing and open nothing.
  if (msg.message != WM_KEYDOWN || !PageShown()) return false;
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  if (msg.wParam == 'F' && ctrl && !shift) {
    OpenDialog();
    return true;
  }
  if (msg.wParam == VK_F3 && !ctrl) {
    if (m_what[0] == '\0')
      OpenDialog();
    else
      FindAgain(!shift);
    return true;
  }
  return false;
}

void CConsoleFind::OpenDialog() {
  const HWND focus = ::GetFocus();
  if (m_dialog && CWnd::FromHandlePermanent(m_dialog)) {
    if (focus != m_dialog && !::IsChild(m_dialog, focus)) m_focusBefore = focus;
    ::SetActiveWindow(m_dialog);
    ::SetFocus(::GetDlgItem(m_dialog, edt1));
    return;
  }
  m_focusBefore = focus;
  // Registered before the first dialog can send it, and only then.
  if (g_findReplaceMessage == 0) g_findReplaceMessage = ::RegisterWindowMessageA(FINDMSGSTRING);
  auto* dialog = new (std::nothrow) CFindReplaceDialog;
  if (dialog == nullptr) return;
  // Up first: the console's caret is at its newest line, and a reader looks
  // back from there.
  const DWORD flags = (m_matchCase ? FR_MATCHCASE : 0) | (m_wholeWord ? FR_WHOLEWORD : 0);
  // A failed Create has deleted the dialog.
  m_dialog = dialog->Create(TRUE, m_what, nullptr, flags, &m_console) ? dialog->m_hWnd : nullptr;
}

LRESULT CConsoleFind::OnFindReplace(LPARAM lParam) {
  CFindReplaceDialog* dialog = CFindReplaceDialog::GetNotifier(lParam);
  if (dialog->IsTerminating()) {
    m_dialog = nullptr;
    GiveFocusBack();
    return 0;
  }
  lstrcpynA(m_what, dialog->m_fr.lpstrFindWhat, sizeof m_what);
  m_matchCase = dialog->MatchCase() != FALSE;
  m_wholeWord = dialog->MatchWholeWord() != FALSE;
  if (dialog->FindNext()) FindAgain(dialog->SearchDown() != FALSE);
  return 0;
}

void CConsoleFind::GiveFocusBack() {
  const HWND page = ::GetParent(m_console.m_hWnd);
  if (!PageShown()) return;
  // The system gives the focus to a hidden window too, and keys typed into
  // it would go to a page nobody sees; a disabled one takes no keys at all.
  HWND to = m_focusBefore;
  const bool usable = to && ::IsWindow(to) && ::IsWindowEnabled(to) &&
                      (::IsWindowVisible(to) || to == m_console.m_hWnd);
  // The first control in tab order: a channel page's input line, the
  // manager page's connect toggle.
  if (!usable) to = ::GetNextDlgTabItem(page, nullptr, FALSE);
  // The dialog is still the active window: taking the focus now leaves it
  // to go without activating anything else.
  if (to) ::SetFocus(to);
}

std::size_t CConsoleFind::ReadText() {
  // Room for two bytes a unit: the length may count characters.
  const std::size_t size = 2 * static_cast<std::size_t>(m_console.GetWindowTextLength()) + 2;
  if (size > m_textSize) {
    m_text.reset(new (std::nothrow) char[size]);
    m_textSize = m_text ? size : 0;
    if (!m_text) return 0;
  }
  m_text[0] = '\0';
  m_console.GetWindowText(m_text.get(), static_cast<int>(m_textSize));
  m_text[m_textSize - 1] = '\0';
  return std::strlen(m_text.get());
}

std::size_t CConsoleFind::PositionsInText() {
  // The last display line's start and length: where the text ends in the
  // control's own positions.
  const auto lastLine = static_cast<int>(m_console.SendMessage(EM_GETLINECOUNT)) - 1;
  const LRESULT lastStart = m_console.SendMessage(EM_LINEINDEX, lastLine < 0 ? 0 : lastLine);
  if (lastStart < 0) return 0;
  return static_cast<std::size_t>(lastStart + m_console.SendMessage(EM_LINELENGTH, lastStart));
}

bool CConsoleFind::FindAgain(bool down) {
  if (!PageShown()) return false;
  const std::size_t length = ReadText();
  // Positions count characters under Wine and may count bytes elsewhere:
  // the control's length against the text's bytes tells, as for the links'
  // lines (edit_offsets.h), here for the whole text.
  const std::size_t positions = PositionsInText();
  const char* text = m_text.get();
  CHARRANGE selection = {};
  m_console.SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  const long from = down ? selection.cpMax : selection.cpMin;
  const TextQuery query = {m_what, std::strlen(m_what), m_matchCase, m_wholeWord};
  TextMatch match = {};
  if (length == 0 ||
      !FindInText(
          text, length, query,
          ByteOffsetOfPosition(text, positions, from < 0 ? 0 : static_cast<std::size_t>(from)),
          down, &match)) {
    ShowNotice("見つかりません");
    return false;
  }
  CHARRANGE range = {static_cast<LONG>(PositionOfByteOffset(text, positions, match.begin)),
                     static_cast<LONG>(PositionOfByteOffset(text, positions, match.end))};
  m_console.SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  m_console.SendMessage(EM_SCROLLCARET);
  if (match.wrapped)
    ShowNotice(down ? "末尾まで検索したので先頭から続けました"
                    : "先頭まで検索したので末尾から続けました");
  else if (m_notice)
    HideNotice(m_notice, WM_TIMER, kNoticeTimer, 0);
  return true;
}

void CConsoleFind::ShowNotice(const char* text) {
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = m_console.m_hWnd;
  tool.uId = 1;
  tool.lpszText = const_cast<char*>(text);
  if (m_notice == nullptr || !::IsWindow(m_notice)) {
    m_notice = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 m_console.m_hWnd, nullptr, nullptr, nullptr);
    if (m_notice == nullptr) return;
    ::SendMessageA(m_notice, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  // Just under the selection's start, or the console's corner.
  CHARRANGE selection = {};
  m_console.SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  POINTL at = {};
  m_console.SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), selection.cpMin);
  POINT screen = {at.x, at.y + 20};
  RECT client = {};
  m_console.GetClientRect(&client);
  if (screen.y < 0 || screen.y > client.bottom) screen = {0, 0};
  m_console.ClientToScreen(&screen);
  // Shown again as it is, only its time starts afresh: showing a window is
  // dearer than the search.
  const bool same = ::IsWindowVisible(m_notice) && text == m_noticeText &&
                    screen.x == m_noticeAt.x && screen.y == m_noticeAt.y;
  if (!same) {
    ::SendMessageA(m_notice, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageA(m_notice, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
    ::SendMessageA(m_notice, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    m_noticeText = text;
    m_noticeAt = screen;
  }
  ::SetTimer(m_notice, kNoticeTimer, kNoticeMs, &HideNotice);
}
