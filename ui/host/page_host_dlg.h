// CPageHostDlg: the one container window of the client (dialog 1000). It
// shows the tab bar between two thin lines and, below them, the page of the
// selected tab: tab 0 the manager page, then one channel page per joined
// channel and one private page per person talked to. It owns the server link
// and is the window the link reports to: every link event is passed on,
// unchanged, to every page in tab order. The messages about users rather
// than channels it answers itself (page_host_users.cpp): a ping, a private
// message from someone without a page, a user's information and a server
// notice.
//
// Ownership: the link, the manager page and the tab bar are members; channel
// pages own themselves (each deletes itself after its window is gone); tab
// entries only point at pages. The link stops when this window is destroyed,
// before any page or console goes, so a worker that is still ending never
// writes into a dead page.
//
// Threads: user-interface thread only. WM_LINK_EVENT arrives as a synchronous
// send from the link's worker. Two re-entrant paths: the tab bar's
// notifications arrive inside AddTab, RemoveTab and its click handling, and a
// page's handler may open a channel page in the middle of OnLinkEvent.
#pragma once

#include "framework/afxwin.h"
#include "link/server_link.h"
#include "ui/core/frame_keys.h"
#include "ui/host/page_host_ids.h"
#include "ui/host/tab_bar.h"
#include "ui/pages/channel_page.h"
#include "ui/pages/channel_page_host.h"
#include "ui/pages/manager_page.h"
#include "ui/pages/manager_page_host.h"
#include "ui/pages/modeless_page.h"
#include "ui/seams/window_link_target.h"

struct MessageRecord;

class CPageHostDlg : public CModelessPage, public IChannelPageHost, public IManagerPageHost {
 public:
  enum { IDD = IDD_PAGE_HOST };
  // The manager's tab and at most this many channel tabs fit the tab bar.
  enum { kMaxChannelPages = CTabBar::kMaxTabs - 1 };

  explicit CPageHostDlg(CWnd* pParent = nullptr);
  ~CPageHostDlg() override;

  CServerLink* GetServerLink() override { return &m_link; }
  ILinkEventTarget* GetLinkEventTarget() override { return &m_linkTarget; }
  // The channel's page, brought forward (unless it joined again by itself
  // after a new connection: TakeRejoin), or a new one under a new tab. Null
  // when no page could be opened: the tab bar is full or the page's window
  // could not be created (either way the channel is left again and the
  // manager console says why), or this window is being destroyed.
  CChannelPage* OpenChannelPage(const char* channelName) override;
  // Removes the page's tab and selects the one before it; copes with a page
  // that has no tab. Always 1.
  int RemoveChannelPage(CChannelPage* page) override;
  // Marks the page's tab, unless it is shown; tab 0 is never marked.
  void MarkChannelPage(CChannelPage* page, TabMark mark) override;
  // A private page counts in the tab bar's 12 tabs like a channel page.
  CChannelPage* OpenPrivatePage(const char* nick, bool show) override;
  // Remembers which page asked, for the answer (a few at a time).
  int AskUserInfo(CChannelPage* page, const char* nick) override;

  // The server-message console as a log sink (the link's and the module's
  // console lines go there); its lines do nothing once the console is gone.
  ILogSink* ManagerLogSink() { return m_managerPage.GetLogSink(); }

  void LayoutControls();

  // The frame's keys, wherever the focus is in the page host: Ctrl+PgDn,
  // Ctrl+PgUp and Alt+1..9 select a tab as a click would and put the focus
  // on its page's first control (a channel page's input line); F6 and
  // Shift+F6 move the focus round the shown page's panes; Ctrl+Tab and
  // Ctrl+F6 go on to the host. Everything else as any dialog.
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // Default processing, then LayoutControls.
  afx_msg void OnSize(UINT nType, int cx, int cy);
  // Leaves the channels and stops the link while every page still exists.
  afx_msg void OnDestroy();
  // WM_TABBAR_NOTIFY: lays out again (TABBAR_RESIZED) or shows the selected
  // tab's page (TABBAR_CLICKED); 0 for any other code.
  afx_msg LRESULT OnTabBarNotify(WPARAM code, LPARAM);
  // WM_LINK_EVENT: forwards the event to every page in tab order, the count
  // read afresh before each step; 1 when any page handled it.
  afx_msg LRESULT OnLinkEvent(WPARAM code, LPARAM value);

 private:
  // Hides every page but the selected tab's, then shows that one.
  void ShowSelectedPage();
  // F6 or Shift+F6: the focus to the next or previous pane of the shown
  // page; false for any other key.
  bool MovePaneFocus(const KeyStroke& key);
  // The tab of the open channel or private page of name; -1 for none.
  int FindPageTab(PageKind kind, const char* name) const;
  // The tab of a page; -1 when it has none (any more).
  int TabOfPage(const CWnd* page) const;
  // What concerns users rather than a channel (page_host_users.cpp): a ping
  // is answered, a user's information and a server notice are shown, a
  // private message from someone gets their page. -1 when the message is
  // still to go to every page, else the event's result.
  int OnUserMessage(const MessageRecord& record);
  // A line in the page of tab (the manager page's console for tab 0); a
  // line for the server console is screened with the RTF guard, as the
  // chat consoles screen theirs.
  void AppendToTab(int tab, COLORREF colour, const char* text);

  // Declared first: the target outlives the link, whose worker it serves.
  CWindowLinkTarget m_linkTarget;
  CServerLink m_link;
  CManagerPage m_managerPage;
  CTabBar m_tabBar;
  // Set when this window's destruction begins.
  bool m_closing = false;
  // The user information requests whose answers are still to come: which
  // page asked about whom, the oldest overwritten first. A page gone by then
  // (no tab any more) is never touched: the answer goes to the shown page.
  enum { kAskedNickSize = 64, kAsks = 4 };
  struct UserInfoAsk {
    char nick[kAskedNickSize];
    CChannelPage* page;
  };
  UserInfoAsk m_asks[kAsks] = {};
  int m_nextAsk = 0;

  DECLARE_MESSAGE_MAP()
};
