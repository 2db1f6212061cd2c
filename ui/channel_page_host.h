// IChannelPageHost: what a channel page needs of the page that hosts it, the
// link to send through and the removal of its tab. The page host implements
// it; tests give their own.
//
// Threads: user-interface thread only.
#pragma once

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

 protected:
  ~IChannelPageHost() = default;
};
