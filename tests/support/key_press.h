// A key pressed as the user's keyboard gives it: the modifiers in the
// thread's key state, the key posted to the focused control, the thread's
// queue pumped through pre-translation as the framework's loop does. UI
// thread of the focused window; header only, over win_test_support.
#pragma once

#include "framework/afxwin.h"
#include "tests/support/message_pump.h"

enum Modifier { kPlain = 0, kCtrl = 1, kAlt = 2, kShift = 4 };

struct Key {
  UINT vk;
  int modifiers;  // Modifier bits
};

const Key kNextTab = {VK_NEXT, kCtrl};
const Key kPreviousTab = {VK_PRIOR, kCtrl};
inline Key AltDigit(char digit) { return {static_cast<UINT>(digit), kAlt}; }

inline void Press(const Key& key) {
  BYTE state[256];
  ::GetKeyboardState(state);
  state[VK_CONTROL] = (key.modifiers & kCtrl) ? 0x80 : 0;
  state[VK_SHIFT] = (key.modifiers & kShift) ? 0x80 : 0;
  state[VK_MENU] = (key.modifiers & kAlt) ? 0x80 : 0;
  ::SetKeyboardState(state);
  const bool alt = (key.modifiers & kAlt) != 0;
  ::PostMessageA(::GetFocus(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key.vk,
                 alt ? 0x20000001 : 0x00000001);
  PumpPending();
  state[VK_CONTROL] = state[VK_SHIFT] = state[VK_MENU] = 0;
  ::SetKeyboardState(state);
}
