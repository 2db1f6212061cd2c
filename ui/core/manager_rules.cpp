// The manager page's decisions. See manager_rules.h.
#include "ui/core/manager_rules.h"

#include <algorithm>
#include <cstring>

#include "link/link_event.h"

bool IsValidNickname(const char* nickname) {
  if (nickname == nullptr) return false;
  const std::size_t length = std::strlen(nickname);
  return length > 0 && length <= kMaxNicknameBytes;
}

LinkStateReaction ReactToLinkState(int code) {
  const Change same = Change::kUnchanged;
  switch (code) {
    case LinkGaveUp:
    case LinkOffline:
      // The blink timer is left running: it changes nothing while no
      // connecting image is shown.
      return {true, same, Change::kOn, kImageOffline, true, false};
    case LinkConnecting:
      return {true, Change::kOn, Change::kOff, kImageConnecting, false, false};
    case LinkOnline:
      return {true, Change::kOff, same, kImageOnline, false, true};
    default:
      return {false, same, same, kImageUnchanged, false, false};
  }
}

int NextBlinkImage(int image) {
  if (image == kImageConnecting) return kImageConnectingLit;
  if (image == kImageConnectingLit) return kImageConnecting;
  return kImageUnchanged;
}

namespace {

// Width (and height when asked) changed, the top-left corner kept; never
// below zero.
Rect Resized(const Rect& rect, long width, long height) {
  return {rect.left, rect.top, rect.left + std::max(0L, width), rect.top + std::max(0L, height)};
}

long Height(const Rect& rect) { return rect.bottom - rect.top; }

}  // namespace

ManagerControls StretchManagerControls(const Rect& client, const ManagerControls& now) {
  const long clientWidth = client.right - client.left;
  const long clientHeight = client.bottom - client.top;
  const long inset = 10;
  ManagerControls next = now;
  next.serverGroup =
      Resized(now.serverGroup, clientWidth - 2 * now.serverGroup.left, Height(now.serverGroup));
  next.address =
      Resized(now.address, next.serverGroup.right - now.address.left - inset, Height(now.address));
  next.nickname = Resized(now.nickname, next.serverGroup.right - now.nickname.left - inset,
                          Height(now.nickname));
  next.messageGroup =
      Resized(now.messageGroup, clientWidth - 2 * now.messageGroup.left, Height(now.messageGroup));
  next.serverLog = Resized(now.serverLog, next.messageGroup.right - now.serverLog.left - inset,
                           Height(now.serverLog));
  next.channelGroup = Resized(now.channelGroup, clientWidth - 2 * now.channelGroup.left,
                              clientHeight - now.channelGroup.top - inset);
  next.channelList =
      Resized(now.channelList, next.channelGroup.right - now.channelList.left - inset,
              next.channelGroup.bottom - now.channelList.top - inset);
  return next;
}
