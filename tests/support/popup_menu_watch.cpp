// See popup_menu_watch.h.
#include "tests/support/popup_menu_watch.h"

CPopupMenuWatch* CPopupMenuWatch::s_current = nullptr;

CPopupMenuWatch::CPopupMenuWatch(char mnemonic) : m_mnemonic(mnemonic) {
  s_current = this;
  m_timer = ::SetTimer(nullptr, 0, 30, &CPopupMenuWatch::OnTimer);
}

CPopupMenuWatch::~CPopupMenuWatch() {
  ::KillTimer(nullptr, m_timer);
  s_current = nullptr;
}

BOOL CALLBACK CPopupMenuWatch::ReadAndAnswer(HWND window, LPARAM) {
  char className[16] = {};
  ::GetClassNameA(window, className, sizeof(className));
  // "#32768": the system's menu window; one already answered may linger.
  if (lstrcmpA(className, "#32768") != 0 || !::IsWindowVisible(window) ||
      window == s_current->m_answered)
    return TRUE;
  const auto menu = reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU, 0, 0));
  std::vector<std::string> items;
  for (int i = 0; menu != nullptr && i < ::GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
    items.push_back(text);
  }
  s_current->m_menus.push_back(items);
  s_current->m_answered = window;
  // The menu's loop reads the keys of its thread, whatever window they are
  // posted to.
  if (s_current->m_mnemonic != 0) {
    ::PostMessageA(window, WM_CHAR, static_cast<WPARAM>(s_current->m_mnemonic), 1);
  } else {
    ::PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
  }
  return FALSE;
}

void CALLBACK CPopupMenuWatch::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (s_current != nullptr) ::EnumThreadWindows(::GetCurrentThreadId(), &ReadAndAnswer, 0);
}
