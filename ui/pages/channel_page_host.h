// IChannelPageHost: what a channel page needs of the page that hosts it, the
// link to send through, the mark on its tab and the removal of its tab. The
// page host implements it; tests give their own.
//
// Threads: user-interface thread only.
#pragma once

#include "ui/core/tab_mark.h"

class CChannelPage;
class CServerLink;

class IChannelPageHost {
 public:
  // The link the page sends through; null while there is none (SendFrame
  // then sends nothing).
  virtual CServerLink* GetServerLink() = 0;
  // Removes the page's tab before the page destroys its own window; copes
  // with a page that has no tab. Always 1.
  virtual int RemoveChannelPage(CChannelPage* page) = 0;
  // The page was sent a line worth its user's eye: marks its tab unless the
  // tab is shown. Called for every such line, so a tab already marked must
  // cost next to nothing; copes with a page that has no tab.
  virtual void MarkChannelPage(CChannelPage* page, TabMark mark) = 0;

 protected:
  ~IChannelPageHost() = default;
};
