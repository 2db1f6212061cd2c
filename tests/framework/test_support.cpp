// Test helpers: pumping and message box answering on the UI thread.
#include "test_support.h"

namespace {

struct Seen {
  bool seen = false;
  std::string caption;
  std::string text;
  UINT_PTR timer = 0;
} g_box;

BOOL CALLBACK FindBox(HWND hWnd, LPARAM) {
  char cls[32] = {};
  ::GetClassNameA(hWnd, cls, sizeof cls);
  if (lstrcmpA(cls, "#32770") != 0 || !::IsWindowVisible(hWnd)) return TRUE;
  HWND hText = ::GetDlgItem(hWnd, 0xFFFF);  // the message box's text
  if (!hText) return TRUE;
  char buffer[512] = {};
  ::GetWindowTextA(hWnd, buffer, sizeof buffer);
  g_box.caption = buffer;
  ::GetWindowTextA(hText, buffer, sizeof buffer);
  g_box.text = buffer;
  g_box.seen = true;
  ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
  return FALSE;
}

// Runs inside the message box's own modal loop.
void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
  if (!g_box.seen) ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, 0);
}

}  // namespace

bool PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
      return true;
    }
    AfxGetThread()->PumpMessage();
  }
  return false;
}

MessageBoxAnswer::MessageBoxAnswer() {
  g_box = Seen();
  g_box.timer = ::SetTimer(nullptr, 0, 20, &Poll);
}

MessageBoxAnswer::~MessageBoxAnswer() { ::KillTimer(nullptr, g_box.timer); }

bool MessageBoxAnswer::seen() const { return g_box.seen; }
std::string MessageBoxAnswer::caption() const { return g_box.caption; }
std::string MessageBoxAnswer::text() const { return g_box.text; }
