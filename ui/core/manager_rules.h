// The manager page's decisions as plain functions over texts, codes and
// rectangles, apart from its controls: the address check (in its own
// portable file) and the nickname check, what each link event does to the
// page's state, the status image's blink and the stretch of the page's
// controls. Pure, with no window system; any thread.
#pragma once

#include "link/message_catalogue.h"   // kMaxNicknameBytes
#include "ui/core/server_address_check.h"  // ValidateServerAddress, kMaxAddressBytes

// true for a nickname of 1 to kMaxNicknameBytes bytes.
bool IsValidNickname(const char* nickname);

// The indexes of the page's four status images.
enum StatusImage : int {
  kImageOffline = 0,
  kImageConnecting = 1,
  kImageConnectingLit = 2,
  kImageOnline = 3,
  kImageUnchanged = -1,
};

enum class Change { kUnchanged, kOn, kOff };

// What the page does for one connection event (LinkEvent 0 to 3). The page
// applies it in the order of the fields.
struct LinkStateReaction {
  bool handled;          // false for codes the page does not know
  Change blinkTimer;     // kOff stops it first, kOn starts it last
  Change edits;          // the address and nickname edits enabled or not
  int image;             // StatusImage to show
  bool resetToggle;      // unchecked, "接続", without a click
  bool requestChannels;  // the refresh steps (617, then empty the list)
};
LinkStateReaction ReactToLinkState(int code);

// The image the blink shows next while image is shown: the two connecting
// images alternate; any other image stays (kImageUnchanged).
int NextBlinkImage(int image);

// A rectangle in a window's client coordinates, in the platform's layout
// (right and bottom just outside).
struct Rect {
  long left;
  long top;
  long right;
  long bottom;
};

// The controls the page stretches, as rectangles in its client coordinates.
struct ManagerControls {
  Rect serverGroup;   // 1002
  Rect address;       // 1009
  Rect nickname;      // 1013
  Rect messageGroup;  // 1003
  Rect serverLog;     // 1010
  Rect channelGroup;  // 1004
  Rect channelList;   // 1011
};

// The new size of every control: each keeps its place; the group boxes
// stretch to a right margin equal to their left one, the controls inside to
// 10 pixels within their group, the channel group down to 10 pixels above the
// page's bottom and its list to 10 pixels within it. The server and message
// groups keep their heights. A page too small gives zero sizes, never
// negative ones.
ManagerControls StretchManagerControls(const Rect& client, const ManagerControls& now);
