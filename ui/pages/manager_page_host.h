// IManagerPageHost: what the manager page needs of the page host: the link
// it starts, stops and sends through, the target the link reports to, and
// the opening of a channel's page when the server confirms a join. The page
// host implements it; tests give their own.
//
// Threads: user-interface thread only.
#pragma once

class CChannelPage;
class CServerLink;
class ILinkEventTarget;

class IManagerPageHost {
 public:
  // The one link; never null while the page has a window.
  virtual CServerLink* GetServerLink() = 0;
  // Where the link's events go once the page starts it: the page host's
  // window, which forwards each event to every page. Outlives the link's
  // worker.
  virtual ILinkEventTarget* GetLinkEventTarget() = 0;
  // Opens the channel's page, or brings forward the one already open; the
  // name is copied before the call returns. Null when no page could be
  // opened.
  virtual CChannelPage* OpenChannelPage(const char* channelName) = 0;

 protected:
  ~IManagerPageHost() = default;
};
