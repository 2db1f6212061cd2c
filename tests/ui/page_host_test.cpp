// The page host inside a plain window: which page a tab shows, where the
// lines and pages go when the tab bar grows, the order in which pages see a
// link event (a page opened during the event included), the full tab bar and
// a page whose window cannot be created — with a scripted server peer that
// records what the client sends.
#include <gtest/gtest.h>

#include <vector>

#include "link/message_catalogue.h"
#include "peer.h"
#include "ui/manager_page_ids.h"
#include "ui/page_host_dlg.h"
#include "ui/ui_messages.h"
#include "ui_test_support.h"

namespace {

// Every window that receives WM_LINK_EVENT on this thread, in order.
std::vector<HWND> g_eventReceivers;

LRESULT CALLBACK RecordLinkEvents(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_LINK_EVENT) g_eventReceivers.push_back(call->hwnd);
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Makes the creation of every rich edit control on this thread fail.
LRESULT CALLBACK RefuseRichEdit(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const LPCSTR name = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass;
    if (!IS_INTRESOURCE(name) && lstrcmpiA(name, "RICHEDIT") == 0) return 1;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class PageHostTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(CPageHostDlg::IDD, CWnd::FromHandle(window.Handle())));
    host.SetWindowPos(nullptr, 0, 0, 640, 400, SWP_NOZORDER);
    host.ShowWindow(SW_SHOW);
    PumpPending();
  }
  void TearDown() override { window.Destroy(); }

  // Puts the host's link online with a peer that records what it receives.
  void GoOnline() {
    ASSERT_EQ(1, host.GetServerLink()->Start(host.GetLinkEventTarget(), peer.Address(), "velmo"));
    const auto deadline = ::GetTickCount() + 10000;
    while (!host.GetServerLink()->IsOnline() && ::GetTickCount() < deadline) PumpPending();
    ASSERT_TRUE(host.GetServerLink()->IsOnline());
    // Going online asks for the channel list; only what follows counts. The
    // flag is up before the event that asks is served: serve it.
    while (Received(0).empty() && ::GetTickCount() < deadline) PumpPending();
    ASSERT_EQ(1u, Received(1).size());
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
  }
  // The frames the peer has received since the host went online, waiting
  // for at least count of them.
  std::vector<ReceivedFrame> Received(std::size_t count) {
    const auto deadline = ::GetTickCount() + 5000;
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_received.size() >= count || ::GetTickCount() > deadline) return m_received;
      }
      ::Sleep(5);
    }
  }
  int Broadcast(unsigned type, const std::string& payload) {
    MessageRecord record = {static_cast<std::uint16_t>(payload.size()),
                            static_cast<std::uint16_t>(type), payload.c_str()};
    return static_cast<int>(
        host.SendMessage(WM_LINK_EVENT, LinkMessage, reinterpret_cast<LPARAM>(&record)));
  }
  HWND ManagerWindow() const {
    for (HWND child = ::GetWindow(host.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
      if (::GetDlgItem(child, IDC_MANAGER_CONNECT)) return child;
    return nullptr;
  }
  CRect RectOf(HWND control) const {
    CRect rect;
    ::GetWindowRect(control, &rect);
    host.ScreenToClient(&rect);
    return rect;
  }
  bool Visible(CWnd* page) const { return page != nullptr && page->IsWindowVisible(); }

  CTestWindow window{700, 460};
  CPageHostDlg host;
  std::mutex m_mutex;
  std::vector<ReceivedFrame> m_received;
  CScriptedPeer peer{[this](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    ReceivedFrame frame;
    while (connection.ReadFrame(&frame.type, &frame.payload, 60000)) {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_received.push_back(frame);
    }
  }};
};

TEST_F(PageHostTest, TabsShowOnePageAndTheLayoutFollowsTheRowsOfTabs) {
  ASSERT_NE(nullptr, ManagerWindow());
  EXPECT_TRUE(::IsWindowVisible(ManagerWindow()));
  const HWND secondLine = ::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_SECOND_LINE);
  const int lineTop = RectOf(secondLine).top;
  std::vector<CChannelPage*> pages;
  for (const char* name : {"#a", "#b", "#c", "#d"}) pages.push_back(host.OpenChannelPage(name));
  EXPECT_TRUE(Visible(pages[3])) << "the newest page is shown";
  EXPECT_FALSE(::IsWindowVisible(ManagerWindow()));
  const CRect line = RectOf(secondLine);
  EXPECT_EQ(lineTop + 22, line.top) << "the fifth tab opened a second row";
  EXPECT_EQ(line.bottom + 1, RectOf(pages[0]->m_hWnd).top) << "every page moved down with it";
  EXPECT_EQ(400 - line.bottom, RectOf(pages[0]->m_hWnd).Height());

  EXPECT_EQ(pages[1], host.OpenChannelPage("#b")) << "an open channel is brought forward";
  EXPECT_TRUE(Visible(pages[1]));
  EXPECT_FALSE(Visible(pages[3]));
  CChannelPage* upper = host.OpenChannelPage("#B");
  EXPECT_NE(pages[1], upper) << "names differ by case: another channel";
  CChannelPage* named = host.OpenChannelPage("Orlaネットワーク");
  EXPECT_NE(nullptr, named) << "tab 0 is never matched by name";

  // Removing the page of tab 2 selects tab 1, whichever was selected.
  EXPECT_EQ(1, host.RemoveChannelPage(pages[1]));
  pages[1]->DestroyWindow();
  EXPECT_TRUE(Visible(pages[0]));
  EXPECT_EQ(1, host.RemoveChannelPage(pages[1])) << "a page without a tab changes nothing";
  EXPECT_TRUE(Visible(pages[0]));
  for (CChannelPage* page : {pages[0], pages[2], upper}) {
    host.RemoveChannelPage(page);
    page->DestroyWindow();
  }
  EXPECT_EQ(lineTop, RectOf(secondLine).top)
      << "back to one row of tabs";
  EXPECT_EQ(0, host.SendMessage(WM_TABBAR_NOTIFY, 3, 0)) << "an unknown code is not handled";
}

TEST_F(PageHostTest, EveryPageSeesEachEventInTabOrderAPageOpenedMeanwhileLast) {
  CChannelPage* a = host.OpenChannelPage("#a");
  CChannelPage* b = host.OpenChannelPage("#b");
  HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &RecordLinkEvents, nullptr, ::GetCurrentThreadId());
  g_eventReceivers.clear();
  EXPECT_EQ(1, Broadcast(MsgJoined, "#new")) << "the manager page took the join";
  ::UnhookWindowsHookEx(hook);
  CChannelPage* opened = host.OpenChannelPage("#new");
  EXPECT_EQ((std::vector<HWND>{host.m_hWnd, ManagerWindow(), a->m_hWnd, b->m_hWnd, opened->m_hWnd}),
            g_eventReceivers);
  EXPECT_EQ(1, Broadcast(MsgChannelText, "#b bob hi")) << "one page handled it";
  EXPECT_EQ(0, Broadcast(999, "nobody's")) << "no page handled it";
}

TEST_F(PageHostTest, ATwelfthChannelIsLeftAgainAndSaidSo) {
  GoOnline();
  for (int i = 1; i <= CPageHostDlg::kMaxChannelPages; ++i)
    ASSERT_NE(nullptr, host.OpenChannelPage(("#c" + std::to_string(i)).c_str()));
  EXPECT_EQ(nullptr, host.OpenChannelPage("#full"));
  const std::vector<ReceivedFrame> frames = Received(1);
  ASSERT_EQ(1u, frames.size());
  EXPECT_EQ(static_cast<unsigned>(MsgLeave), frames[0].type);
  EXPECT_EQ("#full", frames[0].payload);
  const std::string log = ConsoleText(::GetDlgItem(ManagerWindow(), IDC_MANAGER_SERVER_LOG));
  EXPECT_NE(std::string::npos, log.find("チャンネル #full を開けません")) << log;
}

TEST_F(PageHostTest, APageWhoseWindowCannotBeCreatedLeavesNothingBehind) {
  GoOnline();
  // No template to be found: the page never gets a window.
  const HINSTANCE resources = AfxGetResourceHandle();
  AfxSetResourceHandle(::GetModuleHandleA("kernel32.dll"));
  EXPECT_EQ(nullptr, host.OpenChannelPage("#a"));
  AfxSetResourceHandle(resources);
  // A console that cannot be made: the window comes into existence and goes.
  HHOOK refuse = ::SetWindowsHookExA(WH_CBT, &RefuseRichEdit, nullptr, ::GetCurrentThreadId());
  EXPECT_EQ(nullptr, host.OpenChannelPage("#b"));
  ::UnhookWindowsHookEx(refuse);
  EXPECT_TRUE(::IsWindowVisible(ManagerWindow())) << "no page was hidden or shown";
  CChannelPage* page = host.OpenChannelPage("#c");
  ASSERT_NE(nullptr, page);
  host.RemoveChannelPage(page);
  page->DestroyWindow();
  const std::vector<ReceivedFrame> frames = Received(1);
  ASSERT_EQ(1u, frames.size()) << "only the page that came up left its channel";
  EXPECT_EQ("#c", frames[0].payload);
}

}  // namespace
