// The product end to end: the host loads velmo.dll, a person connects,
// joins, chats, switches and leaves tabs, the server goes away, the host
// closes — checked on the screen and on the wire.
#include <gtest/gtest.h>

#include "client_fixture.h"
#include "plugin_registry.h"
#include "tests/support/message_pump.h"
#include "ui/core/colours.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"
//
#include <commdlg.h>
#include <richedit.h>

namespace {

const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kDiagnostic = RGB(0, 127, 255);

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// velmo.dll's exported ManagerLogWhite, looked up as another module would.
using ManagerLogWhiteFn = void (*)(const char* format, ...);
ManagerLogWhiteFn ModuleLogWhite(HMODULE module) {
  return reinterpret_cast<ManagerLogWhiteFn>(
      reinterpret_cast<void*>(::GetProcAddress(module, "ManagerLogWhite")));
}

}  // namespace

TEST_F(ClientTest, StartUpOpensOneListedFrameReadyToConnect) {
  StartHost();
  const HWND frame = Frame();
  EXPECT_FALSE(::GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  ::SetFocus(frame);
  EXPECT_TRUE(::IsChild(PageHost(), ::GetFocus())) << "the frame passes the focus on";
  // The system menu lost Close and the item that was last after it.
  ::SendMessageA(WindowList(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  auto* plain = new CMDIChildWnd;
  ASSERT_TRUE(plain->Create(nullptr, "plain", 0x51CF8000, CRect(0, 0, 0, 0),
                            static_cast<CMDIFrameWnd*>(theApp.m_pMainWnd)));
  EXPECT_EQ(0, ::SendMessageA(WindowList(), CB_GETCURSEL, 0, 0))
      << "a deactivated frame still selects its own entry";
  const int plainItems = ::GetMenuItemCount(::GetSystemMenu(plain->m_hWnd, FALSE));
  plain->DestroyWindow();
  PumpPending();
  HMENU menu = ::GetSystemMenu(frame, FALSE);
  EXPECT_EQ(UINT(-1), ::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND));
  EXPECT_EQ(plainItems - 2, ::GetMenuItemCount(menu));

  ASSERT_EQ(1, ::SendMessageA(WindowList(), CB_GETCOUNT, 0, 0));
  char item[64] = {};
  ::SendMessageA(WindowList(), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ("Orlaマネージャー", item);
  EXPECT_EQ(reinterpret_cast<LRESULT>(CWnd::FromHandlePermanent(frame)),
            ::SendMessageA(WindowList(), CB_GETITEMDATA, 0, 0));
  EXPECT_EQ("1 window", WindowText(::GetDlgItem(::GetParent(WindowList()), 1007)));

  RECT client, host;
  ::GetClientRect(frame, &client);
  ::GetWindowRect(PageHost(), &host);
  EXPECT_EQ(client.right, host.right - host.left) << "the page host fills the frame";
  EXPECT_EQ(ManagerPage(), VisiblePage());
  EXPECT_EQ('r', StatusColour(ManagerItem(IDC_MANAGER_STATUS)));
  EXPECT_EQ("接続", WindowText(ManagerItem(IDC_MANAGER_CONNECT)));
  const std::string nickname = WindowText(ManagerItem(IDC_MANAGER_NICKNAME));
  EXPECT_EQ(16u, nickname.size()) << nickname;
  EXPECT_EQ(0u, nickname.rfind("Nanashi@Velmo", 0)) << nickname;

  PluginRegistry::Instance().StartAll();
  PumpPending();
  EXPECT_EQ(frame, Frame()) << "a second start brings the one frame forward";
  EXPECT_EQ(nullptr, ::FindWindowExA(::GetParent(frame), frame, nullptr, "Orlaマネージャー"));
  EXPECT_EQ(1, ::SendMessageA(WindowList(), CB_GETCOUNT, 0, 0));

  CloseHost();
  EXPECT_EQ(nullptr, Frame());
}

TEST_F(ClientTest, ConnectJoinChatSwitchTabsAndLeave) {
  StartServer();
  StartHost();
  auto bob = Peer("bob", {"#lobby"});
  ConnectAs("velmo");
  EXPECT_EQ('g', StatusColour(ManagerItem(IDC_MANAGER_STATUS)));
  EXPECT_EQ("切断", WindowText(ManagerItem(IDC_MANAGER_CONNECT)));
  EXPECT_FALSE(::IsWindowEnabled(ManagerItem(IDC_MANAGER_ADDRESS)));
  EXPECT_EQ("", CompareConsole(ManagerItem(IDC_MANAGER_SERVER_LOG),
                               {{"Recv: [0005][0003] velmo\r\n", kDiagnostic},
                                {"[Motd] ようこそ Orla へ\r\n", kGreen},
                                {"[Motd] second line\r\n", kGreen}}));
  EXPECT_EQ((std::vector<std::string>{"#dev|0|builds", "#lobby|1|雑談の部屋"}),
            ListRows(ManagerItem(IDC_MANAGER_CHANNELS)));

  Join("#lobby");
  const HWND lobby = ChannelPage("#lobby");
  EXPECT_EQ(lobby, VisiblePage());
  EXPECT_TRUE(bob->WaitFor({406, "#lobby velmo 0 8"})) << "the server put us in";
  HWND console = ::GetDlgItem(lobby, IDC_CHANNEL_CONSOLE);
  bob->Send(402, "#lobby hello velmo");
  EXPECT_TRUE(ConsoleShows(console, "<bob> hello velmo"));
  Say("#lobby", "こんにちは");
  EXPECT_TRUE(bob->WaitFor({403, "#lobby velmo こんにちは"}));
  Say("#lobby", "/me waves");
  EXPECT_TRUE(bob->WaitFor({824, "#lobby velmo \"waves\""}));
  EXPECT_TRUE(ConsoleShows(console, "velmo waves")) << "our own lines come back from the server";
  server->Execute("topic #lobby 新しい話題");
  EXPECT_TRUE(PumpUntil([&] {
    return WindowText(::GetDlgItem(lobby, IDC_CHANNEL_TOPIC)) == "#lobby\r\n新しい話題";
  }));
  server->Execute("notice #lobby 定期メンテナンス");
  EXPECT_TRUE(ConsoleShows(console, "\r\n定期メンテナンス\r\n"));

  Join("#dev");
  EXPECT_EQ(ChannelPage("#dev"), VisiblePage());
  ClickTab(1);
  EXPECT_EQ(lobby, VisiblePage());
  ClickTab(0);
  EXPECT_EQ(ManagerPage(), VisiblePage());
  ClickTab(2);
  Click(::GetDlgItem(ChannelPage("#dev"), IDC_CHANNEL_LEAVE));
  EXPECT_EQ(nullptr, ChannelPage("#dev"));
  EXPECT_EQ(lobby, VisiblePage()) << "the tab before the removed one is shown";
  EXPECT_TRUE(PumpUntil([&] { return !Contains(server->Execute("who #dev"), "velmo"); }));

  server->Execute("kick #lobby velmo");
  EXPECT_TRUE(ConsoleShows(console, "サーバーから切断されました！"));
}

TEST_F(ClientTest, TheServerGoingAwayKeepsThePagesAndAReconnectWorks) {
  StartServer();
  StartHost();
  ConnectAs("velmo");
  Join("#lobby");
  server->Stop();
  EXPECT_TRUE(PumpUntil([&] { return StatusColour(ManagerItem(IDC_MANAGER_STATUS)) == 'r'; }));
  EXPECT_EQ("接続", WindowText(ManagerItem(IDC_MANAGER_CONNECT)));
  EXPECT_TRUE(::IsWindowEnabled(ManagerItem(IDC_MANAGER_ADDRESS)));
  EXPECT_NE(nullptr, ChannelPage("#lobby")) << "pages stay when the link goes";

  const HWND lobby = ChannelPage("#lobby");
  EXPECT_TRUE(
      ConsoleShows(::GetDlgItem(lobby, IDC_CHANNEL_CONSOLE), "サーバーとの接続が切れました"));

  StartServer();
  auto bob = Peer("bob", {"#lobby"});
  ClickTab(0);
  ConnectAs("velmo");
  EXPECT_EQ('g', StatusColour(ManagerItem(IDC_MANAGER_STATUS)));
  // The open page joins its channel again by itself, its list filled once,
  // and the shown tab stays the user's.
  EXPECT_TRUE(bob->WaitFor({406, "#lobby velmo 0 8"}));
  const HWND users = ::GetDlgItem(lobby, IDC_CHANNEL_USERS);
  EXPECT_TRUE(PumpUntil([&] { return ListRowCount(users) == 2; }));
  EXPECT_EQ((std::vector<std::string>{"bob|0|DSL", "velmo|0|DSL"}), ListRows(users));
  EXPECT_EQ(ManagerPage(), VisiblePage());
}

// A second user writes privately, the user answers, asks about them and
// is pinged; the server's notice for someone not online is readable.
TEST_F(ClientTest, APrivateConversationUserInformationAndAPing) {
  StartServer();
  StartHost();
  auto bob = Peer("bob", {"#lobby"});
  ConnectAs("velmo");
  Join("#lobby");
  const HWND lobby = ChannelPage("#lobby");
  bob->Send(205, "velmo hi there");
  ASSERT_TRUE(PumpUntil([&] { return PrivatePage("bob") != nullptr; }));
  const HWND page = PrivatePage("bob");
  const HWND console = ::GetDlgItem(page, IDC_CHANNEL_CONSOLE);
  EXPECT_TRUE(ConsoleShows(console, "<bob> hi there\r\n"));
  EXPECT_EQ(lobby, VisiblePage()) << "it opened behind the shown page";

  ClickTab(2);
  Say(page, "こんにちは");
  EXPECT_TRUE(bob->WaitFor({205, "velmo こんにちは"}));
  EXPECT_TRUE(ConsoleShows(console, "<velmo> こんにちは\r\n")) << "shown at once";
  Say(page, "/whois bob");
  EXPECT_TRUE(ConsoleShows(console, "ユーザー情報: bob\r\n  状態: Active\r\n  接続時間: 0:00:"));
  EXPECT_TRUE(
      ConsoleShows(console, "  チャンネル: #lobby\r\n  共有ファイル: 0\r\n  回線: DSL\r\n"));
  bob->Send(751, "velmo 12345");
  // The client answers on this thread: its messages run between the reads.
  EXPECT_TRUE(PumpUntil([&] {
    return bob->WaitFor({752, "velmo 12345"}, 20);
  })) << "the ping answered";
  Say(page, "/msg nobody hello");
  EXPECT_TRUE(ConsoleShows(console, "[サーバー] nobody is not currently online\r\n"));
  EXPECT_TRUE(ConsoleShows(ManagerItem(IDC_MANAGER_SERVER_LOG),
                           "[サーバー] nobody is not currently online\r\n"));
  EXPECT_EQ(std::string::npos, WindowText(ManagerItem(IDC_MANAGER_SERVER_LOG)).find("[0751]"));
  Say(page, "/part");
  EXPECT_EQ(nullptr, PrivatePage("bob"));
  EXPECT_TRUE(Contains(server->Execute("who #lobby"), "velmo")) << "closing sent nothing";
}

TEST_F(ClientTest, ElevenChannelsOpenAndATwelfthIsLeftAgain) {
  config.channels.clear();
  for (int i = 1; i <= 12; ++i) config.channels.push_back({"#c" + std::to_string(i), "t"});
  StartServer();
  StartHost();
  ConnectAs("velmo");
  for (int i = 1; i <= 11; ++i) Join("#c" + std::to_string(i));
  EXPECT_EQ(11u, ChannelPages().size());
  RECT bar;
  ::GetClientRect(TabBar(), &bar);
  EXPECT_EQ(66, bar.bottom) << "three rows of tabs";

  ASSERT_TRUE(SelectChannelRow("#c12"));
  Click(ManagerItem(IDC_MANAGER_JOIN));
  EXPECT_TRUE(PumpUntil([&] {
    return Contains(WindowText(ManagerItem(IDC_MANAGER_SERVER_LOG)), "#c12 を開けません");
  }));
  EXPECT_EQ(11u, ChannelPages().size());
  EXPECT_TRUE(PumpUntil([&] { return !Contains(server->Execute("who #c12"), "velmo"); }))
      << "the client left the channel it could not show";
  ClickTab(11);
  EXPECT_EQ(ChannelPage("#c11"), VisiblePage());
}

TEST_F(ClientTest, ClosingTheHostWhileOnlineLeavesEveryChannelAndUnloads) {
  StartServer();
  StartHost();
  auto bob = Peer("bob", {"#lobby", "#dev"});
  ConnectAs("velmo");
  Join("#lobby");
  Join("#dev");
  const HMODULE module = ::GetModuleHandleA("velmo.dll");
  const ManagerLogWhiteFn logWhite = ModuleLogWhite(module);
  ASSERT_NE(nullptr, logWhite);
  logWhite("module line %d\r\n", 7);
  EXPECT_TRUE(Contains(WindowText(ManagerItem(IDC_MANAGER_SERVER_LOG)), "module line 7"));
  // Traffic in flight while the windows go: the worker is mid-delivery.
  for (int i = 0; i < 50; ++i) bob->Send(402, "#lobby flood " + std::to_string(i));
  CloseHost();
  // The pages go from the last tab to the first.
  EXPECT_TRUE(bob->WaitFor({407, "#dev velmo 0 8"})) << "each page left its channel";
  EXPECT_TRUE(bob->WaitFor({407, "#lobby velmo 0 8"}));
  EXPECT_TRUE(PumpUntil([&] { return !Contains(server->Execute("who"), "velmo"); }))
      << "the link closed its connection";
  EXPECT_TRUE(Contains(server->Execute("who #dev"), "bob"));
  EXPECT_FALSE(Contains(server->Execute("who #dev"), "velmo"));
  logWhite("after the frame is gone\r\n");  // finds no frame, touches nothing
  theApp.ReleaseHost();
  EXPECT_EQ(nullptr, ::GetModuleHandleA("velmo.dll"));
}

TEST_F(ClientTest, AWindowListThatRefusesTheItemStillGetsTheCount) {
  ASSERT_TRUE(theApp.StartHost({}, SW_SHOW));
  static WNDPROC original;
  static LPARAM countSent;
  countSent = -1;
  original = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      WindowList(), GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == CB_ADDSTRING) return static_cast<LRESULT>(CB_ERR);
        if (message == WM_WINDOWLIST_COUNT) countSent = lParam;
        return ::CallWindowProcA(original, window, message, wParam, lParam);
      })));
  PluginRegistry::Instance().Load({VelmoPath()});
  PluginRegistry::Instance().StartAll();
  PumpPending();
  EXPECT_NE(nullptr, Frame());
  EXPECT_EQ(0, countSent) << "the count message goes even when the add failed";
  EXPECT_EQ(0, ::SendMessageA(WindowList(), CB_GETCOUNT, 0, 0));
}

TEST_F(ClientTest, AHostWithoutAWindowListStillGetsAWorkingFrame) {
  ASSERT_TRUE(theApp.StartHost({}, SW_SHOW));
  ::DestroyWindow(WindowList());
  PluginRegistry::Instance().Load({VelmoPath()});
  PluginRegistry::Instance().StartAll();
  PumpPending();
  ASSERT_NE(nullptr, Frame());
  EXPECT_EQ(ManagerPage(), VisiblePage());
  CloseHost();
}

TEST_F(ClientTest, TheReaderKeepsSelectionAndViewAndFindsWhereTheyLeftOff) {
  StartServer();
  StartHost();
  auto bob = Peer("bob", {"#lobby"});
  ConnectAs("velmo");
  Join("#lobby");
  HWND console = ::GetDlgItem(ChannelPage("#lobby"), IDC_CHANNEL_CONSOLE);
  const auto say = [&](int from, int to) {
    for (int i = from; i < to; ++i) bob->Send(402, "#lobby line " + std::to_string(i));
    ASSERT_TRUE(ConsoleShows(console, "<bob> line " + std::to_string(to - 1) + "\r\n"));
  };
  const auto find = [&](const char* text) {
    FINDTEXTA what = {{0, -1}, text};
    return static_cast<long>(
        ::SendMessageA(console, EM_FINDTEXT, FR_DOWN, reinterpret_cast<LPARAM>(&what)));
  };
  say(0, 40);
  ::SendMessageA(console, WM_VSCROLL, SB_TOP, 0);
  const long line2 = find("<bob> line 2\r");
  ::SendMessageA(console, EM_SETSEL, line2, line2 + 12);
  const LRESULT shown = ::SendMessageA(console, EM_GETFIRSTVISIBLELINE, 0, 0);
  say(40, 43);
  EXPECT_EQ("<bob> line 2", SelectedText(console));
  EXPECT_EQ(shown, ::SendMessageA(console, EM_GETFIRSTVISIBLELINE, 0, 0));
  ::SendMessageA(console, WM_VSCROLL, SB_BOTTOM, 0);
  ClickTab(0);
  say(43, 45);
  ClickTab(1);
  PumpPending();
  POINTL at = {};
  ::SendMessageA(console, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), find("<bob> line 43"));
  // Waited for as seen (a console a burst held painted late, the page's face there).
  HDC dc = ::GetDC(console);
  EXPECT_TRUE(PumpUntil([&] { return ::GetPixel(dc, 20, at.y) == kReadMarker; }))
      << "the marker over the first new line";
  ::ReleaseDC(console, dc);
  ::PostMessageA(::GetDlgItem(ChannelPage("#lobby"), IDC_CHANNEL_INPUT), WM_SYSKEYDOWN, VK_END,
                 KF_ALTDOWN << 16 | 1);
  PumpPending();
  EXPECT_EQ("<bob> line 43", SelectedText(console));
}
