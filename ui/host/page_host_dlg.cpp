// The page host: tabs, layout, the broadcast of link events, opening and
// removing channel pages. See page_host_dlg.h for ownership and threads.
#include "ui/host/page_host_dlg.h"

#include <cstdio>
#include <cstring>

#include "link/link_event.h"
#include "link/log_sink.h"
#include "link/message_catalogue.h"
#include "res/image_ids.h"
#include "ui/controls/control_rect.h"
#include "ui/controls/key_stroke.h"
#include "ui/ui_messages.h"

namespace {

const UINT kMoveOnly = SWP_NOZORDER | SWP_NOACTIVATE;

// A join the client cannot show: leave the channel again so the server does
// not keep the user in it with no page and no Leave button, and say why.
void LeaveUnshownChannel(CServerLink* link, ILogSink* console, const char* channelName,
                         const char* reason) {
  SendLeave(link, channelName);
  LogWhiteLine(console, "チャンネル %s を開けません: %s\r\n", channelName, reason);
}

}  // namespace

CPageHostDlg::CPageHostDlg(CWnd* pParent)
    : CModelessPage(IDD, pParent), m_linkTarget(nullptr), m_managerPage(this) {}

CPageHostDlg::~CPageHostDlg() = default;

void CPageHostDlg::DoDataExchange(CDataExchange* pDX) {
  CModelessPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PAGE_HOST_TAB_BAR, m_tabBar);
}

BOOL CPageHostDlg::OnInitDialog() {
  CModelessPage::OnInitDialog();
  m_linkTarget.SetWindow(m_hWnd);
  m_tabBar.LoadTabBitmap(IDB_TAB_FACES);
  m_tabBar.AddTab("Orlaネットワーク", &m_managerPage);
  m_tabBar.SetCurSel(0);
  m_managerPage.Create(CManagerPage::IDD, this);
  m_link.SetLogSink(m_managerPage.GetLogSink());
  LayoutControls();
  m_managerPage.ShowWindow(SW_SHOW);
  return TRUE;
}

// Both private messages share their numbers with the dialog manager's
// (DM_SETDEFID, DM_REPOSITION): answered here, never passed on.
BEGIN_MESSAGE_MAP(CPageHostDlg, CModelessPage)
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_TABBAR_NOTIFY, OnTabBarNotify)
  ON_MESSAGE(WM_LINK_EVENT, OnLinkEvent)
END_MESSAGE_MAP()

void CPageHostDlg::OnDestroy() {
  // From here on a join confirmation that Stop serves opens no page.
  m_closing = true;
  // Channel pages go first, each leaving its channel while the link still
  // runs; each tab goes before its page, so no event reaches a page that is
  // being destroyed.
  for (int i = m_tabBar.GetTabCount() - 1; i >= 1; --i) {
    CWnd* page = m_tabBar.GetTabPage(i);
    m_tabBar.RemoveTab(i);
    page->DestroyWindow();
  }
  // Then the link, before the manager page and its console go: a worker
  // still ending is served here, while everything it writes into exists.
  m_link.Stop();
  m_link.SetLogSink(nullptr);
  CModelessPage::OnDestroy();
}

// ---- layout and tabs -----------------------------------------------------------

void CPageHostDlg::OnSize(UINT nType, int cx, int cy) {
  CModelessPage::OnSize(nType, cx, cy);
  LayoutControls();
}

void CPageHostDlg::LayoutControls() {
  const HWND topLine = ::GetDlgItem(m_hWnd, IDC_PAGE_HOST_TOP_LINE);
  if (topLine == nullptr) return;
  CRect client;
  GetClientRect(&client);
  const CRect top = ControlRect(*this, IDC_PAGE_HOST_TOP_LINE);
  ::SetWindowPos(topLine, nullptr, top.left, top.top, client.Width(), top.Height(), kMoveOnly);
  const int secondTop = ControlRect(*this, IDC_PAGE_HOST_TAB_BAR).bottom + 1;
  ::SetWindowPos(::GetDlgItem(m_hWnd, IDC_PAGE_HOST_SECOND_LINE), nullptr, 0, secondTop,
                 client.Width(), top.Height(), kMoveOnly);
  const int lineBottom = ControlRect(*this, IDC_PAGE_HOST_SECOND_LINE).bottom;
  for (int i = 0; i < m_tabBar.GetTabCount(); ++i) {
    CWnd* page = m_tabBar.GetTabPage(i);
    if (page == nullptr || page->m_hWnd == nullptr) continue;
    // The page's lower edge lies one pixel below the client area.
    ::SetWindowPos(page->m_hWnd, nullptr, 0, lineBottom + 1, client.Width(),
                   client.Height() - lineBottom, kMoveOnly);
  }
}

LRESULT CPageHostDlg::OnTabBarNotify(WPARAM code, LPARAM) {
  switch (code) {
    case TABBAR_RESIZED:
      LayoutControls();
      return 1;
    case TABBAR_CLICKED:
      ShowSelectedPage();
      return 1;
    default:
      return 0;
  }
}

BOOL CPageHostDlg::PreTranslateMessage(MSG* pMsg) {
  if (!IsFrameKeyMessage(*pMsg)) return CModelessPage::PreTranslateMessage(pMsg);
  const KeyStroke key = ReadKeyStroke(*pMsg);
  if (MovePaneFocus(key)) return TRUE;
  const int tab = TabForKey(key, m_tabBar.GetCurSel(), m_tabBar.GetTabCount());
  // A host window key is left for the host's frame further up.
  if (tab == kNotATabKey) return FALSE;
  if (tab == kNoSuchTab) return TRUE;
  m_tabBar.ClickTab(tab);
  CWnd* page = m_tabBar.GetTabPage(tab);
  if (page != nullptr && page->m_hWnd != nullptr) {
    // The first control in tab order: a channel page's input line, the
    // manager page's connect toggle.
    HWND first = ::GetNextDlgTabItem(page->m_hWnd, nullptr, FALSE);
    if (first != nullptr) ::SetFocus(first);
  }
  return TRUE;
}

bool CPageHostDlg::MovePaneFocus(const KeyStroke& key) {
  const int selected = m_tabBar.GetCurSel();
  CWnd* page = m_tabBar.GetTabPage(selected);
  if (page == nullptr || page->m_hWnd == nullptr) return false;
  const PaneList& panes = selected == 0 ? CManagerPage::kPanes : CChannelPage::kPanes;
  // The pane that holds the focus, itself or in a window of its own (a
  // list's header).
  const HWND focus = ::GetFocus();
  int current = -1;
  for (int i = 0; i < panes.count && current < 0; ++i) {
    const HWND pane = ::GetDlgItem(page->m_hWnd, panes.ids[i]);
    if (pane != nullptr && (pane == focus || ::IsChild(pane, focus))) current = i;
  }
  if (PaneForKey(key, current, panes.count) == kNotAPaneKey) return false;
  // A pane that cannot take the focus now (disabled or hidden) is passed by.
  for (int tries = 0; tries < panes.count; ++tries) {
    current = PaneForKey(key, current, panes.count);
    const HWND pane = ::GetDlgItem(page->m_hWnd, panes.ids[current]);
    if (pane != nullptr && ::IsWindowEnabled(pane) && ::IsWindowVisible(pane)) {
      // The caret and the selection in the pane stay where the user left them.
      ::SetFocus(pane);
      break;
    }
  }
  return true;
}

void CPageHostDlg::ShowSelectedPage() {
  for (int i = 0; i < m_tabBar.GetTabCount(); ++i) {
    CWnd* page = m_tabBar.GetTabPage(i);
    if (i != m_tabBar.GetCurSel() && page != nullptr && page->m_hWnd != nullptr)
      page->ShowWindow(SW_HIDE);
  }
  CWnd* selected = m_tabBar.GetTabPage(m_tabBar.GetCurSel());
  if (selected != nullptr && selected->m_hWnd != nullptr) selected->ShowWindow(SW_SHOW);
}

// ---- link events ---------------------------------------------------------------

LRESULT CPageHostDlg::OnLinkEvent(WPARAM code, LPARAM value) {
  const auto* record = reinterpret_cast<const MessageRecord*>(value);
  if (code == LinkMessage && record != nullptr && record->payload != nullptr) {
    const int taken = OnUserMessage(*record);
    if (taken >= 0) return taken;
  }
  LRESULT result = 0;
  // Read afresh: a page opened by an earlier page's handler gets this event too.
  for (int i = 0; i < m_tabBar.GetTabCount(); ++i) {
    CWnd* page = m_tabBar.GetTabPage(i);
    if (page == nullptr || page->m_hWnd == nullptr) continue;
    if (::SendMessageA(page->m_hWnd, WM_LINK_EVENT, code, value) != 0) result = 1;
  }
  return result;
}

// ---- channel pages -------------------------------------------------------------

CChannelPage* CPageHostDlg::OpenChannelPage(const char* channelName) {
  const int open = FindPageTab(PageKind::kChannel, channelName);
  if (open > 0) {
    auto* page = static_cast<CChannelPage*>(m_tabBar.GetTabPage(open));
    // A page that joined again by itself after a new connection stays where
    // it is: the user asked for nothing.
    if (!page->TakeRejoin()) {
      m_tabBar.SetCurSel(open);
      OnTabBarNotify(TABBAR_CLICKED, 0);
    }
    return page;
  }
  // A page opened while the host goes would outlive its tab bar's loop; the
  // connection is closing too, which takes the user out of every channel.
  if (m_closing) return nullptr;
  if (m_tabBar.GetTabCount() > kMaxChannelPages) {
    // A page without a tab could never be seen, found or told anything.
    // Private pages count too.
    char reason[64];
    std::snprintf(reason, sizeof reason, "開けるタブは %d 個までです",
                  static_cast<int>(CTabBar::kMaxTabs));
    LeaveUnshownChannel(&m_link, ManagerLogSink(), channelName, reason);
    return nullptr;
  }
  CChannelPage* page = CChannelPage::Open(this, channelName, this);
  if (page == nullptr) {
    LeaveUnshownChannel(&m_link, ManagerLogSink(), channelName, "ページを作れませんでした");
    return nullptr;
  }
  m_tabBar.AddTab(page->ChannelName(), page);
  m_tabBar.SetCurSel(m_tabBar.GetTabCount() - 1);
  LayoutControls();
  ShowSelectedPage();
  return page;
}

int CPageHostDlg::RemoveChannelPage(CChannelPage* page) {
  for (int i = 1; i < m_tabBar.GetTabCount(); ++i) {
    if (m_tabBar.GetTabPage(i) != page) continue;
    m_tabBar.RemoveTab(i);
    m_tabBar.SetCurSel(i - 1);
    OnTabBarNotify(TABBAR_CLICKED, 0);
    break;
  }
  return 1;
}

void CPageHostDlg::MarkChannelPage(CChannelPage* page, TabMark mark) {
  // The tab bar refuses the selected tab: that page is the one shown.
  const int tab = TabOfPage(page);
  if (tab > 0) m_tabBar.MarkTab(tab, mark);
}

int CPageHostDlg::FindPageTab(PageKind kind, const char* name) const {
  for (int i = 1; i < m_tabBar.GetTabCount(); ++i) {
    const auto* page = static_cast<const CChannelPage*>(m_tabBar.GetTabPage(i));
    if (page->Kind() == kind && std::strcmp(page->ChannelName(), name) == 0) return i;
  }
  return -1;
}

int CPageHostDlg::TabOfPage(const CWnd* page) const {
  for (int i = 0; i < m_tabBar.GetTabCount(); ++i) {
    if (m_tabBar.GetTabPage(i) == page) return i;
  }
  return -1;
}
