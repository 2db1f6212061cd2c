// The page host inside a plain window: which page a tab shows, where the
// lines and pages go when the host is resized and the tab bar grows, the
// order in which pages see a link event (a page opened during the event
// included), the full tab bar, a page whose window cannot be created, a
// join confirmed while the host closes, private conversations and what the
// server says about users — with a scripted server peer that records what
// the client sends and may answer it.
//
// The host owns the channel pages: a test closes a page only through its
// Leave button, found afresh by channel name, so a failed check can never
// make it destroy a page twice.
#include <gtest/gtest.h>

#include <vector>

#include "link/frame.h"
#include "link/message_catalogue.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/frame_bytes.h"
#include "tests/support/key_press.h"
#include "tests/support/peer.h"
#include "tests/support/sent_message_log.h"
#include "tests/support/ui_test_support.h"
#include "ui/host/page_host_dlg.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"
#include "ui/ui_messages.h"

namespace {

// Makes the creation of every rich edit control on this thread fail.
LRESULT CALLBACK RefuseRichEdit(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const LPCSTR name = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass;
    if (!IS_INTRESOURCE(name) && lstrcmpiA(name, "RICHEDIT") == 0) return 1;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The closing host: the page whose leave the server answers with a held-back
// join confirmation, whether that confirmation was waiting for the host
// while the close went on, and the dialogs created as the host's children.
HWND g_closing = nullptr;
HWND g_answeredPage = nullptr;
bool g_joinWaiting = false;
int g_pagesCreated = 0;

// After the answered page has handled its WM_DESTROY (its leave is on the
// wire), waits without serving anything until the worker's delivery of the
// answer is waiting for this thread.
LRESULT CALLBACK AwaitAnswerAfterLeave(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_DESTROY && call->hwnd == g_answeredPage) {
    const DWORD deadline = ::GetTickCount() + kHangBoundMs;
    while (!g_joinWaiting && ::GetTickCount() < deadline) {
      g_joinWaiting = (HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0;
      ::Sleep(1);
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CountPagesCreated(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND &&
      reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent == g_closing)
    ++g_pagesCreated;
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
    const auto deadline = ::GetTickCount() + kHangBoundMs;
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
    const auto deadline = ::GetTickCount() + kHangBoundMs;
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_received.size() >= count || ::GetTickCount() > deadline) return m_received;
      }
      ::Sleep(5);
    }
  }
  int Broadcast(unsigned type, const std::string& payload) {
    return SendLinkMessage(host.m_hWnd, type, payload);
  }
  HWND ManagerWindow() const {
    for (HWND child = ::GetWindow(host.m_hWnd, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
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
  // The channel's page window, or null.
  HWND PageOf(const std::string& channel) const {
    for (HWND child = ::GetWindow(host.m_hWnd, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
      auto* page = ::GetDlgItem(child, IDC_CHANNEL_TOPIC) != nullptr
                       ? static_cast<CChannelPage*>(CWnd::FromHandlePermanent(child))
                       : nullptr;
      if (page != nullptr && channel == page->ChannelName()) return child;
    }
    return nullptr;
  }
  // The person's private page window, or null.
  HWND PrivatePageOf(const std::string& nick) const {
    for (HWND child = ::GetWindow(host.m_hWnd, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (::GetDlgItem(child, IDC_CHANNEL_INPUT) == nullptr ||
          ::GetDlgItem(child, IDC_CHANNEL_TOPIC) != nullptr)
        continue;
      if (nick == static_cast<CChannelPage*>(CWnd::FromHandlePermanent(child))->ChannelName())
        return child;
    }
    return nullptr;
  }
  CTabBar& Bar() const {
    return *static_cast<CTabBar*>(
        CWnd::FromHandlePermanent(::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_TAB_BAR)));
  }
  // Types a line into the focused input line and presses Enter.
  void Type(const std::string& line) {
    ::SetWindowTextA(::GetFocus(), line.c_str());
    Press({VK_RETURN, kPlain});
  }
  std::string ConsoleOf(HWND page) const {
    return WindowText(::GetDlgItem(page, IDC_CHANNEL_CONSOLE));
  }
  std::string ServerConsole() const {
    return WindowText(::GetDlgItem(ManagerWindow(), IDC_MANAGER_SERVER_LOG));
  }
  // Presses the Leave button of the channel's page, as a user does.
  void Leave(const std::string& channel) {
    const HWND page = PageOf(channel);
    ASSERT_NE(nullptr, page) << channel;
    ::SendMessageA(::GetDlgItem(page, IDC_CHANNEL_LEAVE), BM_CLICK, 0, 0);
    ASSERT_EQ(nullptr, PageOf(channel)) << channel;
  }

  CTestWindow window{700, 460};
  CPageHostDlg host;
  std::mutex m_mutex;
  std::vector<ReceivedFrame> m_received;
  CScriptedPeer peer{[this](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    ReceivedFrame frame;
    while (connection.ReadFrame(&frame.type, &frame.payload)) {
      if (answer) connection.Send(answer(frame));
      std::lock_guard<std::mutex> lock(m_mutex);
      m_received.push_back(frame);
    }
  }};
  // The peer's answer to each frame it receives (bytes, "" for none); set
  // before GoOnline.
  std::function<std::string(const ReceivedFrame&)> answer;
};

TEST_F(PageHostTest, TabsShowOnePageAndTheLayoutFollowsTheRowsOfTabs) {
  ASSERT_NE(nullptr, ManagerWindow());
  EXPECT_TRUE(::IsWindowVisible(ManagerWindow()));
  const HWND secondLine = ::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_SECOND_LINE);
  const int lineTop = RectOf(secondLine).top;
  std::vector<CChannelPage*> pages;
  for (const char* name : {"#a", "#b", "#c", "#d"}) {
    pages.push_back(host.OpenChannelPage(name));
    ASSERT_NE(nullptr, pages.back()) << name;
  }
  EXPECT_TRUE(Visible(pages[3])) << "the newest page is shown";
  EXPECT_FALSE(::IsWindowVisible(ManagerWindow()));
  const CRect line = RectOf(secondLine);
  EXPECT_EQ(lineTop + 22, line.top) << "the fifth tab opened a second row";
  EXPECT_EQ(line.bottom + 1, RectOf(pages[0]->m_hWnd).top) << "every page moved down with it";
  EXPECT_EQ(400 - line.bottom, RectOf(pages[0]->m_hWnd).Height());

  EXPECT_EQ(pages[1], host.OpenChannelPage("#b")) << "an open channel is brought forward";
  EXPECT_TRUE(Visible(pages[1]));
  EXPECT_FALSE(Visible(pages[3]));
  ASSERT_NE(pages[1], host.OpenChannelPage("#B")) << "names differ by case: another channel";
  ASSERT_NE(nullptr, host.OpenChannelPage("Orlaネットワーク")) << "tab 0 is never matched by name";

  // Leaving the page of tab 2 selects tab 1, whichever was selected.
  ASSERT_NO_FATAL_FAILURE(Leave("#b"));
  EXPECT_TRUE(Visible(pages[0]));
  CTestPageHost other;
  CChannelPage* untabbed = OpenTestPage(&other, window.Handle(), "#b");
  ASSERT_NE(nullptr, untabbed);
  EXPECT_EQ(1, host.RemoveChannelPage(untabbed)) << "a page without a tab changes nothing";
  untabbed->DestroyWindow();
  EXPECT_TRUE(Visible(pages[0]));
  for (const char* channel : {"#a", "#c", "#B", "Orlaネットワーク"}) {
    ASSERT_NO_FATAL_FAILURE(Leave(channel));
  }
  EXPECT_EQ(lineTop, RectOf(secondLine).top) << "back to one row of tabs";
  EXPECT_EQ(0, host.SendMessage(WM_TABBAR_NOTIFY, 3, 0)) << "an unknown code is not handled";
  // A click notice while no tab is selected (as right after the selected tab
  // went) reads no slot outside the tabs and shows no page.
  auto* bar = static_cast<CTabBar*>(
      CWnd::FromHandlePermanent(::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_TAB_BAR)));
  ASSERT_NE(nullptr, bar);
  ASSERT_TRUE(bar->SetCurSel(-1));
  EXPECT_EQ(1, host.SendMessage(WM_TABBAR_NOTIFY, TABBAR_CLICKED, 0));
  EXPECT_FALSE(::IsWindowVisible(ManagerWindow()));
}

// The dialog manager's Enter and Escape end a dialog by hiding it: none of the
// client's three dialogs may take that default.
TEST_F(PageHostTest, EnterAndEscapeHideNoneOfTheDialogs) {
  const auto press = [](HWND dialog) {
    for (int command : {IDOK, IDCANCEL})
      ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
  };
  press(host.m_hWnd);
  press(ManagerWindow());
  EXPECT_TRUE(host.IsWindowVisible());
  EXPECT_TRUE(::IsWindowVisible(ManagerWindow()));
  CChannelPage* page = host.OpenChannelPage("#a");
  ASSERT_NE(nullptr, page);
  press(page->m_hWnd);
  EXPECT_TRUE(Visible(page));
}

TEST_F(PageHostTest, EveryPageSeesEachEventInTabOrderAPageOpenedMeanwhileLast) {
  CChannelPage* a = host.OpenChannelPage("#a");
  CChannelPage* b = host.OpenChannelPage("#b");
  ASSERT_TRUE(a != nullptr && b != nullptr);
  CSentMessageLog events(WM_LINK_EVENT);
  EXPECT_EQ(1, Broadcast(MsgJoined, "#new")) << "the manager page took the join";
  events.Stop();
  CChannelPage* opened = host.OpenChannelPage("#new");
  EXPECT_EQ((std::vector<HWND>{host.m_hWnd, ManagerWindow(), a->m_hWnd, b->m_hWnd, opened->m_hWnd}),
            events.Receivers());
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
  const std::string log = ServerConsole();
  EXPECT_NE(std::string::npos, log.find("チャンネル #full を開けません")) << log;
  // Private pages share the cap; a message that would need one past it is
  // shown in the server console, never lost.
  EXPECT_EQ(1, Broadcast(MsgPrivateMessage, "carol are you there?"));
  EXPECT_EQ(12, Bar().GetTabCount());
  EXPECT_NE(std::string::npos, ServerConsole().find("[個人メッセージ] <carol> are you there?\r\n"))
      << ServerConsole();
}

TEST_F(PageHostTest, APrivateMessageOpensItsPageBehindAndTheAnswerGoesBackThere) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  CChannelPage* channel = host.OpenChannelPage("#a");
  ASSERT_NE(nullptr, channel);
  const HWND typing = ::GetDlgItem(channel->m_hWnd, IDC_CHANNEL_INPUT);
  ::SetFocus(typing);
  ::SetWindowTextA(typing, "draft");
  ::SendMessageA(typing, EM_SETSEL, 1, 3);
  EXPECT_EQ(1, Broadcast(MsgPrivateMessage, "bob hi velmo"));
  // Nothing the user sees moved: the tab, the focus, the typing.
  EXPECT_EQ(1, Bar().GetCurSel());
  EXPECT_EQ(typing, ::GetFocus());
  DWORD from = 0, to = 0;
  ::SendMessageA(typing, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ("draft", WindowText(typing));
  EXPECT_EQ(1u, from);
  EXPECT_EQ(3u, to);
  ASSERT_EQ(3, Bar().GetTabCount());
  EXPECT_STREQ("bob", Bar().GetTabLabel(2));
  EXPECT_EQ(TabMark::kMention, Bar().GetTabMark(2));
  const HWND bob = PrivatePageOf("bob");
  ASSERT_NE(nullptr, bob);
  EXPECT_FALSE(::IsWindowVisible(bob));
  EXPECT_EQ("",
            CompareConsole(::GetDlgItem(bob, IDC_CHANNEL_CONSOLE),
                           {{"<bob> ", RGB(255, 255, 0)}, {"hi velmo\r\n", RGB(255, 255, 255)}}));
  EXPECT_EQ("", ConsoleOf(channel->m_hWnd));

  // The user answers there; the line shows at once, the server echoes none.
  Bar().ClickTab(2);
  EXPECT_TRUE(::IsWindowVisible(bob));
  ::SetFocus(::GetDlgItem(bob, IDC_CHANNEL_INPUT));
  Type("hello");
  EXPECT_EQ(1, Broadcast(MsgPrivateMessage, "bob again"));
  EXPECT_EQ(3, Bar().GetTabCount()) << "one page per person";
  EXPECT_EQ("<bob> hi velmo\r\n<velmo> hello\r\n<bob> again\r\n", ConsoleOf(bob));
  // Closing sends nothing.
  ::SendMessageA(::GetDlgItem(bob, IDC_CHANNEL_LEAVE), BM_CLICK, 0, 0);
  EXPECT_EQ(nullptr, PrivatePageOf("bob"));
  EXPECT_EQ(2, Bar().GetTabCount());
  SendFrame(host.GetServerLink(), 999, "mark");
  const std::vector<ReceivedFrame> frames = Received(2);
  ASSERT_EQ(2u, frames.size());
  EXPECT_EQ(static_cast<unsigned>(MsgPrivateMessage), frames[0].type);
  EXPECT_EQ("bob hello", frames[0].payload);
  EXPECT_EQ(999u, frames[1].type) << "the close sent nothing";
}

// /msg, /query, /whois, /part and what the server says about users: the
// answer to /whois goes where it was asked, a notice to the page shown and
// the server console, a ping is answered unseen.
TEST_F(PageHostTest, CommandsAndTheServersWordsAboutUsersGoWhereTheUserLooks) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  CChannelPage* channel = host.OpenChannelPage("#a");
  ASSERT_NE(nullptr, channel);
  const HWND typing = ::GetDlgItem(channel->m_hWnd, IDC_CHANNEL_INPUT);
  ::SetFocus(typing);
  Type("/msg carol hi");
  EXPECT_EQ(1, Bar().GetCurSel()) << "/msg leaves the shown tab";
  EXPECT_EQ(typing, ::GetFocus());
  const HWND carol = PrivatePageOf("carol");
  ASSERT_NE(nullptr, carol);
  EXPECT_EQ("<velmo> hi\r\n", ConsoleOf(carol));
  EXPECT_EQ("-> *carol* hi\r\n", ConsoleOf(channel->m_hWnd));
  Type("/QUERY carol");
  EXPECT_EQ(2, Bar().GetCurSel()) << "/query shows the page";
  EXPECT_EQ(::GetDlgItem(carol, IDC_CHANNEL_INPUT), ::GetFocus());
  Type("/whois dave");
  Bar().ClickTab(1);
  EXPECT_EQ(1, Broadcast(MsgUserInfo,
                         "dave \"User\" 3723 \"#a #b\" \"Active\" 12 0 0 8 \"Velmo v1.0\" more"));
  EXPECT_EQ(
      "<velmo> hi\r\nユーザー情報: dave\r\n  状態: Active\r\n  接続時間: 1:02:03\r\n"
      "  チャンネル: #a #b\r\n  共有ファイル: 12\r\n  回線: DSL\r\n  クライアント: Velmo v1.0\r\n",
      ConsoleOf(carol));
  EXPECT_EQ(1, Broadcast(MsgServerNotice, "erin is not currently online"));
  const Piece notice = {"[サーバー] erin is not currently online\r\n", RGB(0, 127, 255)};
  EXPECT_EQ("", CompareConsole(::GetDlgItem(channel->m_hWnd, IDC_CHANNEL_CONSOLE),
                               {{"-> *carol* hi\r\n", RGB(255, 255, 0)}, notice}));
  EXPECT_NE(std::string::npos, ServerConsole().find(notice.text));
  EXPECT_EQ(1, Broadcast(MsgUserPing, "dave 12345 x"));
  Bar().ClickTab(2);
  ::SetFocus(::GetDlgItem(carol, IDC_CHANNEL_INPUT));
  Type("/part");
  EXPECT_EQ(nullptr, PrivatePageOf("carol"));
  SendFrame(host.GetServerLink(), 999, "mark");
  const std::vector<ReceivedFrame> frames = Received(4);
  ASSERT_EQ(4u, frames.size());
  EXPECT_EQ(static_cast<unsigned>(MsgPrivateMessage), frames[0].type);
  EXPECT_EQ("carol hi", frames[0].payload);
  EXPECT_EQ(static_cast<unsigned>(MsgUserInfoRequest), frames[1].type);
  EXPECT_EQ("dave", frames[1].payload);
  EXPECT_EQ(static_cast<unsigned>(MsgUserPingReply), frames[2].type);
  EXPECT_EQ("dave 12345 x", frames[2].payload);
  EXPECT_EQ(999u, frames[3].type) << "a private page leaves nothing";
  EXPECT_EQ(std::string::npos, ServerConsole().find("[0751]")) << "the ping shows nowhere";
}

TEST_F(PageHostTest, APageWhoseWindowCannotBeCreatedLeavesTheChannelAndSaysSo) {
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
  // No memory for the page: no exception, and nothing kept.
  const long live = LiveAllocations();
  FailNextAllocation(sizeof(CChannelPage));
  EXPECT_EQ(nullptr, host.OpenChannelPage("#c"));
  EXPECT_TRUE(AllocationFailed());
  EXPECT_EQ(live, LiveAllocations());
  EXPECT_TRUE(::IsWindowVisible(ManagerWindow())) << "no page was hidden or shown";
  ASSERT_NE(nullptr, host.OpenChannelPage("#d"));
  ASSERT_NO_FATAL_FAILURE(Leave("#d"));
  const std::vector<ReceivedFrame> frames = Received(4);
  ASSERT_EQ(4u, frames.size()) << "the server does not keep the user where no page shows";
  const char* const left[] = {"#a", "#b", "#c", "#d"};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(static_cast<unsigned>(MsgLeave), frames[i].type) << i;
    EXPECT_EQ(left[i], frames[i].payload) << i;
  }
  const HWND log = ::GetDlgItem(ManagerWindow(), IDC_MANAGER_SERVER_LOG);
  EXPECT_EQ(
      "",
      CompareConsole(
          log, {{"Recv: [0002][0003] ok\r\n", RGB(0, 127, 255)},
                {"チャンネル #a を開けません: ページを作れませんでした\r\n", RGB(255, 255, 255)},
                {"チャンネル #b を開けません: ページを作れませんでした\r\n", RGB(255, 255, 255)},
                {"チャンネル #c を開けません: ページを作れませんでした\r\n", RGB(255, 255, 255)}}));
}

// The server confirms a join only once the close has begun (it answers the
// leave of the first page): Stop serves that confirmation while the host
// goes, and the dying host opens no page for it.
TEST_F(PageHostTest, AJoinConfirmedWhileTheHostClosesOpensNoPage) {
  answer = [](const ReceivedFrame& frame) {
    return frame.type == MsgLeave && frame.payload == "#a" ? FrameBytes(MsgJoined, "#late")
                                                           : std::string();
  };
  GoOnline();
  CChannelPage* page = host.OpenChannelPage("#a");
  ASSERT_NE(nullptr, page);
  g_answeredPage = page->m_hWnd;
  g_closing = host.m_hWnd;
  g_joinWaiting = false;
  g_pagesCreated = 0;
  HHOOK await = ::SetWindowsHookExA(WH_CALLWNDPROCRET, &AwaitAnswerAfterLeave, nullptr,
                                    ::GetCurrentThreadId());
  HHOOK count = ::SetWindowsHookExA(WH_CBT, &CountPagesCreated, nullptr, ::GetCurrentThreadId());
  window.Destroy();
  ::UnhookWindowsHookEx(count);
  ::UnhookWindowsHookEx(await);
  ASSERT_TRUE(g_joinWaiting) << "the confirmation reached the host during its close";
  EXPECT_EQ(0, g_pagesCreated);
  EXPECT_EQ(0, host.GetServerLink()->IsRunning());
}

// Where the manager page lies: the whole width, from the pixel below the
// second line to one pixel below the client area, through host sizes and
// rows of tabs; it is shown again once its tab is the only one.
TEST_F(PageHostTest, TheManagerPageFillsThePageAreaBelowTheLines) {
  struct Step {
    const char* name;
    int width, height;
    int channels;  // channel tabs open afterwards
    bool shown;
  };
  const Step steps[] = {
      {"as created", 640, 400, 0, true},       {"host resized", 520, 300, 0, true},
      {"one channel", 520, 300, 1, false},     {"a second row of tabs", 700, 420, 4, false},
      {"back to one row", 700, 420, 3, false}, {"last channel tab left", 610, 380, 0, true},
  };
  const HWND topLine = ::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_TOP_LINE);
  const HWND tabBar = ::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_TAB_BAR);
  const HWND secondLine = ::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_SECOND_LINE);
  int open = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    host.SetWindowPos(nullptr, 0, 0, step.width, step.height, SWP_NOZORDER | SWP_NOMOVE);
    for (; open < step.channels; ++open)
      ASSERT_NE(nullptr, host.OpenChannelPage(("#" + std::to_string(open)).c_str()));
    for (; open > step.channels; --open)
      ASSERT_NO_FATAL_FAILURE(Leave("#" + std::to_string(open - 1)));
    PumpPending();
    CRect client;
    host.GetClientRect(&client);
    const CRect top = RectOf(topLine), bar = RectOf(tabBar), second = RectOf(secondLine);
    EXPECT_EQ(CRect(top.left, top.top, client.right, top.bottom), top);
    EXPECT_EQ(CRect(0, bar.bottom + 1, client.right, bar.bottom + 1 + top.Height()), second);
    EXPECT_EQ(22 * ((open + 4) / 4), bar.Height()) << "a row of tabs per four";
    EXPECT_EQ(CRect(0, second.bottom + 1, client.right, client.bottom + 1),
              RectOf(ManagerWindow()));
    EXPECT_EQ(step.shown, ::IsWindowVisible(ManagerWindow()) != FALSE);
  }
}

// A dropped connection is said in every page; connecting again joins each
// channel page's channel again, its user list filled once, and the shown tab
// stays the user's.
TEST_F(PageHostTest, AfterADropEveryPageSaysSoAndANewConnectionJoinsTheChannelsAgain) {
  answer = [](const ReceivedFrame& frame) {
    return frame.type == MsgJoin ? FrameBytes(MsgJoined, frame.payload) +
                                       FrameBytes(MsgUserListEntry, frame.payload + " velmo 0 0") +
                                       FrameBytes(MsgUserListEntry, frame.payload + " bob 1 2")
                                 : std::string();
  };
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  CChannelPage* channel = host.OpenChannelPage("#a");
  ASSERT_NE(nullptr, channel);
  Broadcast(MsgUserListEntry, "#a velmo 0 0");
  Broadcast(MsgUserListEntry, "#a carol 3 4");
  Broadcast(MsgPrivateMessage, "bob hi");
  Bar().ClickTab(2);
  CServerLink* link = host.GetServerLink();
  link->Stop();
  const std::string dropped = "サーバーとの接続が切れました\r\n";
  EXPECT_EQ(dropped, ConsoleOf(channel->m_hWnd));
  EXPECT_EQ("<bob> hi\r\n" + dropped, ConsoleOf(PrivatePageOf("bob")));

  ASSERT_EQ(1, link->Start(host.GetLinkEventTarget(), peer.Address(), "velmo"));
  const HWND list = ::GetDlgItem(channel->m_hWnd, IDC_CHANNEL_USERS);
  ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] {
    return ListRows(list).size() == 2 && ListRows(list)[0].rfind("bob", 0) == 0;
  }));
  PumpFor(100);
  EXPECT_EQ((std::vector<std::string>{"bob|1|28.8K", "velmo|0|Unknown"}), ListRows(list))
      << "filled once, from the server's entries";
  EXPECT_EQ(2, Bar().GetCurSel()) << "the private page stays shown";
  // Since the first connection's list request: the second's, and the join.
  const std::vector<ReceivedFrame> frames = Received(2);
  ASSERT_EQ(2u, frames.size());
  EXPECT_EQ(static_cast<unsigned>(MsgChannelListRequest), frames[0].type);
  EXPECT_EQ(static_cast<unsigned>(MsgJoin), frames[1].type);
  EXPECT_EQ("#a", frames[1].payload);
  // A join the user asks for still brings the page forward.
  EXPECT_EQ(channel, host.OpenChannelPage("#a"));
  EXPECT_EQ(1, Bar().GetCurSel());
}

// ---- activity marks ---------------------------------------------------------

enum class Act { kLine, kClick, kKey, kOpen, kLeave };

struct MarkStep {
  Act act;
  std::string text;  // kLine: the payload; kOpen, kLeave: the channel
  unsigned type;     // kLine
  int tab;           // kClick
  Key key;           // kKey
};

MarkStep Line(unsigned type, const char* payload) { return {Act::kLine, payload, type, 0, {}}; }
MarkStep Chat(const char* payload) { return Line(MsgChannelText, payload); }
MarkStep Click(int tab) { return {Act::kClick, "", 0, tab, {}}; }
MarkStep Keys(Key key) { return {Act::kKey, "", 0, 0, key}; }
MarkStep Open(const char* channel) { return {Act::kOpen, channel, 0, 0, {}}; }
MarkStep Leave(const char* channel) { return {Act::kLeave, channel, 0, 0, {}}; }

struct MarkCase {
  const char* name;
  std::vector<MarkStep> steps;
  std::string marks;  // per tab afterwards: '.' none, 'n' news, 'm' a mention
};

void PrintTo(const MarkCase& c, std::ostream* os) { *os << c.name; }

// Tabs: the manager page (shown), #a, #b, #c; the user is "velmo".
const MarkCase kMarkCases[] = {
    {"chat and action lines from others mark hidden tabs",
     {Chat("#b bob hi"), Line(MsgAction, "#c bob \"waves\"")},
     "..nn"},
    {"entries, leaves, user lists, topics and notices do not",
     {Line(MsgUserEntered, "#a carol 2 5"), Line(MsgUserLeft, "#a carol 0 0"),
      Line(MsgUserListEntry, "#a dave 1 2"), Line(MsgTopic, "#a new topic"),
      Line(MsgChannelNotice, "#a velmo, a notice")},
     "...."},
    {"nor does the user's own line", {Chat("#a velmo hi all")}, "...."},
    {"a line naming the user raises news", {Chat("#c bob so"), Chat("#c bob hi Velmo")}, "...m"},
    {"an ordinary line after it does not lower it",
     {Line(MsgAction, "#c bob \"pokes velmo\""), Chat("#c bob so")},
     "...m"},
    {"the shown tab never marks", {Click(2), Chat("#b bob velmo?"), Click(0)}, "...."},
    {"a click clears", {Chat("#a bob hi"), Chat("#b bob velmo"), Click(2)}, ".n.."},
    {"Ctrl+PgDn clears", {Chat("#a bob hi"), Chat("#b bob hi"), Keys(kNextTab)}, "..n."},
    {"Ctrl+PgUp clears", {Chat("#c bob velmo"), Chat("#b bob hi"), Keys(kPreviousTab)}, "..n."},
    {"Alt+N clears", {Chat("#a bob hi"), Chat("#b bob hi"), Keys(AltDigit('3'))}, ".n.."},
    {"opening an open channel clears", {Chat("#a bob hi"), Chat("#b bob hi"), Open("#b")}, ".n.."},
    {"a new page leaves the others' marks",
     {Chat("#a bob hi"), Open("#d"), Chat("#c bob velmo")},
     ".n.m."},
    {"marks move with their tabs", {Chat("#b bob hi"), Chat("#c bob velmo"), Leave("#a")}, ".nm"},
    {"a closing tab takes its mark", {Chat("#b bob hi"), Leave("#b")}, "..."},
    {"closing shows the tab before, clearing it",
     {Chat("#a bob velmo"), Chat("#c bob hi"), Leave("#b")},
     "..n"},
    {"a private message opens its person's tab behind, marked as a mention",
     {Line(MsgPrivateMessage, "bob hi")},
     "....m"},
    {"a channel and a person of one name are apart",
     {Open("bob"), Click(0), Line(MsgPrivateMessage, "bob hi"), Chat("bob carol hi")},
     "....nm"},
};

class PageHostMarks : public PageHostTest, public testing::WithParamInterface<MarkCase> {};

TEST_P(PageHostMarks, AHiddenTabShowsWhatItMissedUntilItIsShown) {
  ASSERT_NO_FATAL_FAILURE(GoOnline());
  for (const char* channel : {"#a", "#b", "#c"}) ASSERT_NE(nullptr, host.OpenChannelPage(channel));
  const HWND tabBar = ::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_TAB_BAR);
  auto* bar = static_cast<CTabBar*>(CWnd::FromHandlePermanent(tabBar));
  bar->ClickTab(0);
  ::SetFocus(::GetDlgItem(ManagerWindow(), IDC_MANAGER_CONNECT));
  for (const MarkStep& step : GetParam().steps) {
    if (step.act == Act::kLine) Broadcast(step.type, step.text);
    if (step.act == Act::kClick)
      ::SendMessageA(tabBar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(step.tab * 157 + 10, 10));
    if (step.act == Act::kKey) Press(step.key);
    if (step.act == Act::kOpen) host.OpenChannelPage(step.text.c_str());
    if (step.act == Act::kLeave) Leave(step.text);
  }
  std::string marks;
  for (int i = 0; i < bar->GetTabCount(); ++i) marks += ".nm"[static_cast<int>(bar->GetTabMark(i))];
  EXPECT_EQ(GetParam().marks, marks);
}

INSTANTIATE_TEST_SUITE_P(Table, PageHostMarks, testing::ValuesIn(kMarkCases));

// A page host whose tab faces cannot be loaded (its templates come from a
// module without the bitmaps): the tabs exist all the same, are laid out and
// answer clicks, and the manager page gets its events.
class PageHostWithoutFaces : public PageHostTest {
 protected:
  void SetUp() override {
    const HINSTANCE resources = AfxGetResourceHandle();
    ASSERT_NE(nullptr, m_templates);
    AfxSetResourceHandle(m_templates);
    PageHostTest::SetUp();
    AfxSetResourceHandle(resources);
  }
  ~PageHostWithoutFaces() override { ::FreeLibrary(m_templates); }
  HMODULE m_templates = ::LoadLibraryA("ui_templates_only.dll");
};

TEST_F(PageHostWithoutFaces, KeepsTabsLayoutAndEvents) {
  ASSERT_NE(nullptr, ManagerWindow());
  const HWND tabBar = ::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_TAB_BAR);
  const CRect second = RectOf(::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_SECOND_LINE));
  EXPECT_EQ(22, RectOf(tabBar).Height()) << "one row of tabs";
  CRect client;
  host.GetClientRect(&client);
  EXPECT_EQ(CRect(0, second.bottom + 1, client.right, client.bottom + 1), RectOf(ManagerWindow()));
  EXPECT_EQ(1, Broadcast(MsgJoined, "#a")) << "the manager page took the join";
  ASSERT_NE(nullptr, PageOf("#a"));
  EXPECT_TRUE(::IsWindowVisible(PageOf("#a")));
  // The user clicks the first tab.
  ::SendMessageA(tabBar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_TRUE(::IsWindowVisible(ManagerWindow()));
  EXPECT_FALSE(::IsWindowVisible(PageOf("#a")));
}

}  // namespace
