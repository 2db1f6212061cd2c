// The page hosts a page sees, standing in for the page host dialog: each
// hands the page its link (and the manager page its event target) and
// records what the page asked of it. UI thread only.
#pragma once

#include <string>
#include <vector>

#include "link/server_link.h"
#include "ui/pages/channel_page_host.h"
#include "ui/pages/manager_page_host.h"
#include "ui/seams/window_link_target.h"

// The page host seen by a page: a link pointer, the pages removed, the
// private pages and user information asked for; it has no tabs to mark and
// opens no page.
class CTestPageHost : public IChannelPageHost {
 public:
  explicit CTestPageHost(CServerLink* link = nullptr) : m_link(link) {}
  CServerLink* GetServerLink() override { return m_link; }
  int RemoveChannelPage(CChannelPage* page) override {
    removed.push_back(page);
    return 1;
  }
  void MarkChannelPage(CChannelPage*, TabMark) override {}
  CChannelPage* OpenPrivatePage(const char* nick, bool) override {
    privatePages.push_back(nick);
    return nullptr;
  }
  int AskUserInfo(CChannelPage*, const char* nick) override {
    asked.push_back(nick);
    return 1;
  }
  std::vector<CChannelPage*> removed;
  std::vector<std::string> privatePages;
  std::vector<std::string> asked;

 private:
  CServerLink* m_link;
};

// The page host seen by the manager page: its link, an event target that
// hands events straight to the page, and the channel pages it was asked to
// open (none opens).
class CTestManagerHost : public IManagerPageHost {
 public:
  explicit CTestManagerHost(CServerLink* link) : m_link(link) {}
  CServerLink* GetServerLink() override { return m_link; }
  ILinkEventTarget* GetLinkEventTarget() override { return &target; }
  CChannelPage* OpenChannelPage(const char* channelName) override {
    opened.push_back(channelName);
    return nullptr;
  }

  // Events go straight to the page, as the page host forwards them.
  CWindowLinkTarget target;
  std::vector<std::string> opened;

 private:
  CServerLink* m_link;
};
