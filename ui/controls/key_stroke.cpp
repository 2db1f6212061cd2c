// A key message and the thread's modifier state. See key_stroke.h.
#include "ui/controls/key_stroke.h"

static_assert(kKeyTab == VK_TAB && kKeyPageUp == VK_PRIOR && kKeyPageDown == VK_NEXT &&
                  kKeyF6 == VK_F6,
              "the frame's key numbers are the platform's");

KeyStroke ReadKeyStroke(const MSG& msg) {
  // Alt comes with the message itself (its context bit); Ctrl and Shift only
  // from the key state as of the message's retrieval.
  return {msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN,
          static_cast<unsigned>(msg.wParam), ::GetKeyState(VK_CONTROL) < 0,
          (HIWORD(msg.lParam) & KF_ALTDOWN) != 0, ::GetKeyState(VK_SHIFT) < 0};
}

bool IsFrameKeyMessage(const MSG& msg) {
  // Checked before the key state is read: every message of the pump comes here.
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  return IsFrameKey(ReadKeyStroke(msg));
}
