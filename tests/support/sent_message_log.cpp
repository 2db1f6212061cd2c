// See sent_message_log.h.
#include "tests/support/sent_message_log.h"

#include <algorithm>

CSentMessageLog* CSentMessageLog::s_current = nullptr;

CSentMessageLog::CSentMessageLog(UINT message) : m_message(message) {
  s_current = this;
  m_hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &OnCall, nullptr, ::GetCurrentThreadId());
}

void CSentMessageLog::Stop() {
  if (m_hook != nullptr) ::UnhookWindowsHookEx(m_hook);
  m_hook = nullptr;
  if (s_current == this) s_current = nullptr;
}

int CSentMessageLog::CountFor(HWND window) const {
  return static_cast<int>(std::count(m_receivers.begin(), m_receivers.end(), window));
}

LRESULT CALLBACK CSentMessageLog::OnCall(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && s_current != nullptr && call->message == s_current->m_message)
    s_current->m_receivers.push_back(call->hwnd);
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
