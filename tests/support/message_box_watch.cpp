// See message_box_watch.h.
#include "tests/support/message_box_watch.h"

CMessageBoxWatch* CMessageBoxWatch::s_current = nullptr;

CMessageBoxWatch::CMessageBoxWatch() {
  s_current = this;
  m_timer = ::SetTimer(nullptr, 0, 30, &CMessageBoxWatch::OnTimer);
}

CMessageBoxWatch::~CMessageBoxWatch() {
  ::KillTimer(nullptr, m_timer);
  s_current = nullptr;
}

std::vector<std::string> CMessageBoxWatch::Texts() const {
  std::vector<std::string> texts;
  for (const Box& box : m_seen) texts.push_back(box.text);
  return texts;
}

BOOL CALLBACK CMessageBoxWatch::ReadAndClose(HWND window, LPARAM) {
  char className[32] = {};
  ::GetClassNameA(window, className, sizeof(className));
  if (lstrcmpA(className, "#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
  // A message box's text is its static control 0xFFFF; a dialog under test
  // (the same window class) has none and is left alone.
  HWND textControl = ::GetDlgItem(window, 0xFFFF);
  if (textControl == nullptr) return TRUE;
  Box box;
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof(text));
  box.caption = text;
  ::GetWindowTextA(textControl, text, sizeof(text));
  box.text = text;
  box.owner = ::GetWindow(window, GW_OWNER);
  s_current->m_seen.push_back(box);
  ::SendMessageA(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK CMessageBoxWatch::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (s_current != nullptr) ::EnumThreadWindows(::GetCurrentThreadId(), &ReadAndClose, 0);
}
