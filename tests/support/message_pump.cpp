// See message_pump.h.
#include "tests/support/message_pump.h"

#include <chrono>

#include "framework/afxwin.h"

bool PumpPending() {
  MSG msg;
  // Removed as it is peeked, then handled as the thread's PumpMessage does:
  // PumpMessage's own GetMessage would wait when the peeked message has gone
  // meanwhile (a paint validated), and sent messages served in that wait
  // would never end it.
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return true;
    if (!AfxGetThread()->PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
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
