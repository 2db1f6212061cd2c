// Find in a console's scrollback. See console_find.h.
#include "ui/console/console_find.h"

#include <cstring>
#include <new>
// The Find dialog's control ids (edt1).
#include <dlgs.h>

#include "link/cp932_text.h"
#include "ui/console/console_view.h"
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

// The byte offset of a control position in text: positions count
// characters (a double-byte character one), or bytes on a control that
// counts so.
std::size_t ByteOfPosition(const char* text, std::size_t length, long position, bool bytes) {
  if (position <= 0) return 0;
  if (bytes) return static_cast<std::size_t>(position) < length ? position : length;
  std::size_t at = 0;
  for (long unit = 0; unit < position && at < length; ++unit)
    at += IsDoubleByteLead(static_cast<unsigned char>(text[at])) && at + 1 < length ? 2 : 1;
  return at;
}

}  // namespace

const UINT kFindReplaceMessage = ::RegisterWindowMessageA(FINDMSGSTRING);

LRESULT CConsoleView::OnFindReplace(WPARAM, LPARAM lParam) { return m_find.OnFindReplace(lParam); }

CConsoleFind::~CConsoleFind() {
  // Both are owned by the top-level window, which may outlive the console.
  if (m_dialog && CWnd::FromHandlePermanent(m_dialog)) ::DestroyWindow(m_dialog);
  if (m_notice && ::IsWindow(m_notice)) ::DestroyWindow(m_notice);
}

bool CConsoleFind::PreTranslateKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
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
    // The dialog is still the active window: taking the focus now leaves it
    // to go without activating anything else.
    if (m_focusBefore && ::IsWindow(m_focusBefore)) ::SetFocus(m_focusBefore);
    return 0;
  }
  lstrcpynA(m_what, dialog->m_fr.lpstrFindWhat, sizeof m_what);
  m_matchCase = dialog->MatchCase() != FALSE;
  m_wholeWord = dialog->MatchWholeWord() != FALSE;
  if (dialog->FindNext()) FindAgain(dialog->SearchDown() != FALSE);
  return 0;
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

bool CConsoleFind::FindAgain(bool down) {
  const std::size_t length = ReadText();
  CHARRANGE selection = {};
  m_console.SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  const long from = down ? selection.cpMax : selection.cpMin;
  const TextQuery query = {m_what, std::strlen(m_what), m_matchCase, m_wholeWord};
  TextMatch match = {};
  if (length == 0 ||
      !FindInText(m_text.get(), length, query,
                  ByteOfPosition(m_text.get(), length, from, m_bytePositions), down, &match)) {
    ShowNotice("見つかりません");
    return false;
  }
  SelectMatch(match.begin, match.end);
  if (match.wrapped)
    ShowNotice(down ? "末尾まで検索したので先頭から続けました"
                    : "先頭まで検索したので末尾から続けました");
  else if (m_notice)
    HideNotice(m_notice, WM_TIMER, kNoticeTimer, 0);
  return true;
}

void CConsoleFind::SelectMatch(std::size_t begin, std::size_t end) {
  const char* text = m_text.get();
  CHARRANGE range = {};
  if (!m_bytePositions) {
    range.cpMin = static_cast<LONG>(CountCharacters(text, begin));
    range.cpMax = range.cpMin + static_cast<LONG>(CountCharacters(text + begin, end - begin));
    m_console.SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    // Nothing documents how a rich edit control of this kind counts
    // double-byte characters: the selection read back tells. At most two
    // bytes a unit, and no match is longer than the query.
    char selected[2 * sizeof m_what + 2] = {};
    m_console.SendMessage(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(selected));
    m_bytePositions = std::strlen(selected) != end - begin ||
                      std::memcmp(selected, text + begin, end - begin) != 0;
  }
  if (m_bytePositions) {
    range.cpMin = static_cast<LONG>(begin);
    range.cpMax = static_cast<LONG>(end);
    m_console.SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  }
  m_console.SendMessage(EM_SCROLLCARET);
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
