// TabMark: what a tab whose page is not shown has missed since it was last
// shown, weakest first. A mark only ever rises until the tab is shown, so a
// line naming the user stays marked through the chat that follows it.
// Plain values, no window system.
#pragma once

enum class TabMark {
  kNone,
  kNews,     // a chat or action line from someone else
  kMention,  // such a line naming the user
};
