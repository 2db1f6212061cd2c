// The frame's keys as plain decisions. See frame_keys.h.
#include "ui/frame_keys.h"

namespace {

bool IsKeyDown(const KeyStroke& key) {
  return key.message == WM_KEYDOWN || key.message == WM_SYSKEYDOWN;
}

}  // namespace

int TabForKey(const KeyStroke& key, int selected, int count) {
  if (!IsKeyDown(key)) return kNotATabKey;
  if (key.ctrl && !key.alt && !key.shift && (key.key == VK_NEXT || key.key == VK_PRIOR)) {
    if (count <= 0) return kNoSuchTab;
    if (selected < 0 || selected >= count) return key.key == VK_NEXT ? 0 : count - 1;
    const int step = key.key == VK_NEXT ? 1 : count - 1;
    return (selected + step) % count;
  }
  if (key.alt && !key.ctrl && !key.shift && key.key >= '1' && key.key <= '9') {
    const int tab = static_cast<int>(key.key - '1');
    return tab < count ? tab : kNoSuchTab;
  }
  return kNotATabKey;
}

bool IsHostWindowKey(const KeyStroke& key) {
  return IsKeyDown(key) && key.ctrl && !key.alt && (key.key == VK_TAB || key.key == VK_F6);
}

bool IsFrameKey(const KeyStroke& key) {
  return IsHostWindowKey(key) || TabForKey(key, 0, 1) != kNotATabKey;
}
