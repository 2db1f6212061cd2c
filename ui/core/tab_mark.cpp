// Which channel line marks a hidden tab, and how strongly.
#include "ui/core/tab_mark.h"

#include <cstring>

#include "ui/core/channel_messages.h"
#include "ui/core/nick_text.h"

TabMark TabMarkOfLine(unsigned type, const char* own, const char* sender, const char* text) {
  const ChannelMessageRow* row = FindChannelMessage(type);
  if (row == nullptr || !row->marksTab) return TabMark::kNone;
  if (std::strcmp(own, sender) == 0) return TabMark::kNone;
  return IsMentionOf(own, sender, text) ? TabMark::kMention : TabMark::kNews;
}
