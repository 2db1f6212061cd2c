// The window-based link event target. See window_link_target.h.
#include "ui/window_link_target.h"

#include "ui/ui_messages.h"

void ServeSentMessages() {
  // Peeking runs the sent messages waiting for this thread before it looks
  // at the queue; with PM_QS_SENDMESSAGE it looks at nothing else, and
  // PM_NOREMOVE leaves whatever it finds where it is.
  MSG msg;
  ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

int CWindowLinkTarget::DeliverLinkEvent(int code, std::intptr_t value) {
  HWND window = m_window.load();
  if (window == nullptr) return 0;
  return static_cast<int>(
      ::SendMessageA(window, WM_LINK_EVENT, static_cast<WPARAM>(code), static_cast<LPARAM>(value)));
}
