// The keys the manager frame reads before any page: Ctrl+PgDn and Ctrl+PgUp
// step through the tabs (wrapping), Alt+1 to Alt+9 pick tab 0 to 8, F6 and
// Shift+F6 step the focus through the shown page's panes (wrapping), and
// Ctrl+Tab and Ctrl+F6 belong to the host, which switches its MDI windows
// with them. Pages leave all of these to the windows above them. Plain
// decisions over a key and its modifiers, with no window system (the
// message's half is ui/controls/key_stroke.h); any thread.
#pragma once

// One key message as the message pump sees it.
struct KeyStroke {
  bool keyDown;  // a key going down (with Alt or without); anything else is no frame key
  unsigned key;  // the platform's virtual-key number
  bool ctrl;
  bool alt;
  bool shift;
};

// The virtual-key numbers of the frame's keys besides '1' to '9' (the
// platform's values; ui/controls/key_stroke.cpp checks them against its headers).
const unsigned kKeyTab = 0x09;
const unsigned kKeyPageUp = 0x21;
const unsigned kKeyPageDown = 0x22;
const unsigned kKeyF6 = 0x75;

enum : int {
  kNotATabKey = -1,   // the key is no tab key
  kNoSuchTab = -2,    // a tab key naming a tab that is not there: taken, does nothing
  kNotAPaneKey = -3,  // the key is no pane key
};

// The tab a tab key selects among count tabs, selected being the current one
// (-1 when none is: the next is then tab 0, the previous the last);
// kNoSuchTab or kNotATabKey otherwise.
int TabForKey(const KeyStroke& key, int selected, int count);

// The pane F6 (next) or Shift+F6 (previous) moves the focus to among count
// panes, current being the one that holds it (-1 when none does: F6 then
// takes the first, Shift+F6 the last); kNotAPaneKey for any other key, and
// for a page without panes.
int PaneForKey(const KeyStroke& key, int current, int count);

// Ctrl+Tab and Ctrl+F6, with or without Shift.
bool IsHostWindowKey(const KeyStroke& key);

// A tab key, a pane key or a host window key: no page may take it.
bool IsFrameKey(const KeyStroke& key);
