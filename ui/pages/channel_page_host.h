// IChannelPageHost: what a channel or private page needs of the page that
// hosts it: the link to send through, the mark on its tab, the removal of its
// tab, the private page of a person, and where the answer to a user
// information request goes. The page host implements it; tests give their
// own.
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
  // The private page of nick: the open one, or a new one under a new tab.
  // With show, its tab is selected and its input line takes the focus;
  // without, nothing the user sees moves. Null when no page could be opened
  // (the tab bar is full, or the page's window could not be created).
  virtual CChannelPage* OpenPrivatePage(const char* nick, bool show) = 0;
  // Asks the server about nick (603); its answer is shown in page. 0 when
  // the request could not be sent.
  virtual int AskUserInfo(CChannelPage* page, const char* nick) = 0;

 protected:
  ~IChannelPageHost() = default;
};
