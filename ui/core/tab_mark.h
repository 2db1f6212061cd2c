// TabMark: what a tab whose page is not shown has missed since it was last
// shown, weakest first, and which line of a channel raises it. A mark only
// ever rises until the tab is shown, so a line naming the user stays marked
// through the chat that follows it. Plain values, no window system.
#pragma once

enum class TabMark {
  kNone,
  kNews,     // a chat or action line from someone else
  kMention,  // such a line naming the user
};

// The mark a channel line of message type from sender, with text, gives its
// hidden tab when own is the user's nickname: news for someone else's line
// of a type whose row in the channel message table marks tabs (chat and
// actions), a mention when that line names the user (IsMentionOf); none for
// every other type and for one's own lines, which the server echoes. A
// private message (205) from someone else is always a mention.
TabMark TabMarkOfLine(unsigned type, const char* own, const char* sender, const char* text);
