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

int PaneForKey(const KeyStroke& key, int current, int count) {
  // Ctrl+F6 is the host's; Alt+F6 is the system's (between a window and its
  // owned windows).
  if (!key.keyDown || key.key != kKeyF6 || key.ctrl || key.alt || count <= 0) return kNotAPaneKey;
  if (current < 0 || current >= count) return key.shift ? count - 1 : 0;
  return (current + (key.shift ? count - 1 : 1)) % count;
}

bool IsHostWindowKey(const KeyStroke& key) {
  return key.keyDown && key.ctrl && !key.alt && (key.key == kKeyTab || key.key == kKeyF6);
}

bool IsFrameKey(const KeyStroke& key) {
  return IsHostWindowKey(key) || TabForKey(key, 0, 1) != kNotATabKey ||
         PaneForKey(key, 0, 1) != kNotAPaneKey;
}
