// The frame's keys as plain decisions. See frame_keys.h.
#include "ui/core/frame_keys.h"

int TabForKey(const KeyStroke& key, int selected, int count) {
  if (!key.keyDown) return kNotATabKey;
  if (key.ctrl && !key.alt && !key.shift && (key.key == kKeyPageDown || key.key == kKeyPageUp)) {
    if (count <= 0) return kNoSuchTab;
    if (selected < 0 || selected >= count) return key.key == kKeyPageDown ? 0 : count - 1;
    const int step = key.key == kKeyPageDown ? 1 : count - 1;
    return (selected + step) % count;
  }
  if (key.alt && !key.ctrl && !key.shift && key.key >= '1' && key.key <= '9') {
    const int tab = static_cast<int>(key.key - '1');
    return tab < count ? tab : kNoSuchTab;
  }
  return kNotATabKey;
}

bool IsHostWindowKey(const KeyStroke& key) {
  return key.keyDown && key.ctrl && !key.alt && (key.key == kKeyTab || key.key == kKeyF6);
}

bool IsFrameKey(const KeyStroke& key) {
  return IsHostWindowKey(key) || TabForKey(key, 0, 1) != kNotATabKey;
}
