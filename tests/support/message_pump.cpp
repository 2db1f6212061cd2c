// See message_pump.h.
#include "tests/support/message_pump.h"

#include <chrono>

#include "framework/afxwin.h"

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

bool PumpUntil(int timeoutMs, bool (*done)(void*), void* context) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done(context)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    PumpPending();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(int milliseconds) {
  PumpUntil(milliseconds, [] { return false; });
}
