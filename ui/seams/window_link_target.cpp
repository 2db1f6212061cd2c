// The window-based link event target. See window_link_target.h.
#include "ui/seams/window_link_target.h"

#include "ui/ui_messages.h"

void ServeSentMessages() {
  // Peeking runs the sent messages waiting for this thread before it looks
  // at the queue; with PM_QS_SENDMESSAGE it looks at nothing else, and
  // PM_NOREMOVE leaves whatever it finds where it is.
  MSG msg;
  ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

namespace {

// A thread that is sent message after message serves only those: its posted
// messages, input, timers and painting wait until the sends stop. A worker
// with frames ready sends the next one at once, so every so long it waits a
// moment before its next delivery.
const DWORD kPauseEveryMs = 50;
const DWORD kPauseMs = 5;

}  // namespace

int CWindowLinkTarget::DeliverLinkEvent(int code, std::intptr_t value) {
  HWND window = m_window.load();
  if (window == nullptr) return 0;
  const int result = static_cast<int>(
      ::SendMessageA(window, WM_LINK_EVENT, static_cast<WPARAM>(code), static_cast<LPARAM>(value)));
  if (::GetTickCount() - m_lastPause.load() >= kPauseEveryMs &&
      ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId()) {
    ::Sleep(kPauseMs);
    m_lastPause = ::GetTickCount();
  }
  return result;
}
