// Which channel line marks a hidden tab, and how strongly.
#include "ui/core/tab_mark.h"

#include <cstring>

#include "ui/core/channel_messages.h"
#include "ui/core/nick_text.h"

TabMark TabMarkOfLine(unsigned type, const char* own, const char* sender, const char* text) {
  // A private message is meant for the user as much as a line naming them.
  if (type == MsgPrivateMessage)
    return std::strcmp(own, sender) == 0 ? TabMark::kNone : TabMark::kMention;
  const ChannelMessageRow* row = FindChannelMessage(type);
  if (row == nullptr || !row->marksTab) return TabMark::kNone;
  if (std::strcmp(own, sender) == 0) return TabMark::kNone;
  return IsMentionOf(own, sender, text) ? TabMark::kMention : TabMark::kNews;
}
