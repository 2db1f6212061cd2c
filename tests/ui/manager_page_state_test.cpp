// The manager page against real controls: what each link event shows
// (status image, toggle, edits, blink), the rows of the channel list, the
// MOTD and join confirmations, refresh and join with the frames a scripted
// peer receives, the connect toggle's checks and their message boxes, the
// nickname edit's limit, the layout and Find in the server messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/link_event.h"
#include "link/message_catalogue.h"
#include "tests/support/key_press.h"
#include "tests/support/manager_scene.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/peer.h"
#include "ui/core/manager_rules.h"

using Strings = std::vector<std::string>;

TEST(ManagerPage, StartsOfflineWithARandomNickname) {
  CManagerScene scene(nullptr);
  EXPECT_EQ(kImageOffline, scene.ShownImage());
  EXPECT_EQ("接続", scene.ToggleText());
  EXPECT_FALSE(scene.ToggleChecked());
  EXPECT_TRUE(scene.EditsEnabled());
  const std::string nickname = WindowText(scene.Item(IDC_MANAGER_NICKNAME));
  unsigned number = 1000;
  char end = 0;
  EXPECT_EQ(1, std::sscanf(nickname.c_str(), "Nanashi@Velmo%3u%c", &number, &end)) << nickname;
  EXPECT_EQ(16u, std::string(nickname).size()) << nickname;
  EXPECT_LE(number, 998u);
}

TEST(ManagerPage, LinkEventsSetImageToggleAndEdits) {
  struct Case {
    const char* name;
    std::vector<int> codes;
    int lastResult;
    int image;
    const char* toggle;
    bool checked;
    bool edits;
  } cases[] = {
      {"connecting", {LinkConnecting}, 1, kImageConnecting, "切断", true, false},
      {"online", {LinkConnecting, LinkOnline}, 1, kImageOnline, "切断", true, false},
      {"gave up while connecting",
       {LinkConnecting, LinkGaveUp},
       1,
       kImageOffline,
       "接続",
       false,
       true},
      {"offline after online",
       {LinkConnecting, LinkOnline, LinkOffline},
       1,
       kImageOffline,
       "接続",
       false,
       true},
      {"unknown code", {7}, 0, kImageOffline, "切断", true, true},
  };
  for (const Case& c : cases) {
    CPeerLink peer;
    CManagerScene scene(peer.Link());
    // As after a click whose Start succeeded.
    ::CheckDlgButton(scene.Page().m_hWnd, IDC_MANAGER_CONNECT, BST_CHECKED);
    scene.SetText(IDC_MANAGER_CONNECT, "切断");
    int result = -1;
    for (int code : c.codes) result = scene.Event(code);
    EXPECT_EQ(c.lastResult, result) << c.name;
    EXPECT_EQ(c.image, scene.ShownImage()) << c.name;
    EXPECT_EQ(c.toggle, scene.ToggleText()) << c.name;
    EXPECT_EQ(c.checked, scene.ToggleChecked()) << c.name;
    EXPECT_EQ(c.edits, scene.EditsEnabled()) << c.name;
  }
}

namespace {

// The images shown while the thread serves its messages: until the image
// has changed `changes` times (a blink waits for its timer, however late), or
// with none wanted for half a second in which it must hold still.
std::set<int> ImagesSeen(CManagerScene& scene, int changes) {
  std::set<int> seen;
  int last = scene.ShownImage();
  seen.insert(last);
  int changed = 0;
  PumpUntil(changes > 0 ? kHangBoundMs : 500, [&] {
    const int now = scene.ShownImage();
    if (now != last) ++changed;
    last = now;
    seen.insert(now);
    return changes > 0 && changed >= changes;
  });
  return seen;
}

}  // namespace

TEST(ManagerPage, ConnectingBlinksUntilGivenUpOrOnline) {
  CManagerScene scene(nullptr);
  scene.Event(LinkConnecting);
  EXPECT_EQ((std::set<int>{kImageConnecting, kImageConnectingLit}), ImagesSeen(scene, 2));

  // The timer keeps running without effect.
  scene.Event(LinkGaveUp);
  EXPECT_EQ(std::set<int>{kImageOffline}, ImagesSeen(scene, 0));

  scene.Event(LinkConnecting);
  EXPECT_EQ((std::set<int>{kImageConnecting, kImageConnectingLit}), ImagesSeen(scene, 2));
  scene.Event(LinkOnline);
  EXPECT_EQ(std::set<int>{kImageOnline}, ImagesSeen(scene, 0));
}

TEST(ManagerPage, ChannelListRowsSplitAtSingleSpaces) {
  CManagerScene scene(nullptr);
  const Strings payloads = {"P Q R S", "P", "P  Q", "#雑談 12 今日の 話題", "%s%n 1 %d"};
  for (const std::string& payload : payloads) {
    EXPECT_EQ(1, scene.Message(MsgChannelListEntry, payload)) << payload;
  }
  // Unsorted: rows stay in arrival order.
  EXPECT_EQ((Strings{"P|Q|R S", "P||", "P||Q", "#雑談|12|今日の 話題", "%s%n|1|%d"}), scene.Rows());
}

TEST(ManagerPage, MotdAndJoinConfirmationAreTakenOtherMessagesAreNot) {
  CManagerScene scene(nullptr);
  EXPECT_EQ(1, scene.Message(MsgMotd, "ようこそ %s"));
  EXPECT_EQ(1, scene.Message(MsgJoined, "#lobby"));
  EXPECT_EQ(0, scene.Message(MsgChannelText, "#lobby nick hi"));
  EXPECT_EQ(0, scene.Message(MsgUserListEntry, "#lobby nick 1 2"));
  EXPECT_EQ("", CompareConsole(scene.Item(IDC_MANAGER_SERVER_LOG),
                               {{"[Motd] ようこそ %s\r\n", RGB(0, 255, 0)}}));
  EXPECT_EQ(Strings{"#lobby"}, scene.Host().opened);
  EXPECT_TRUE(scene.Rows().empty());
}

TEST(ManagerPage, AnOverlongMotdLineIsCutWholeAndEndsItsLine) {
  CManagerScene scene(nullptr);
  std::string wide;
  for (int i = 0; i < 510; ++i) wide += "あ";  // 1020 bytes
  scene.Message(MsgMotd, "x" + wide);
  scene.Message(MsgMotd, "next");
  std::string kept;
  for (int i = 0; i < 506; ++i) kept += "あ";
  EXPECT_EQ("[Motd] x" + kept + "\r\n[Motd] next\r\n", scene.Console());
}

TEST(ManagerPage, RefreshEmptiesTheListOnlyWhenTheRequestWentOut) {
  for (const bool connected : {true, false}) {
    CPeerLink peer;
    CServerLink unconnected;
    CManagerScene scene(connected ? peer.Link() : &unconnected);
    // リフレッシュ is taken once the link is online.
    ReceivedFrame online;
    scene.Event(LinkOnline);
    ASSERT_TRUE(!connected || peer.NextFrame(&online));
    scene.Message(MsgChannelListEntry, "#a 1 x");
    scene.Message(MsgChannelListEntry, "#b 2 y");
    scene.Click(IDC_MANAGER_REFRESH);
    if (connected) {
      ReceivedFrame frame;
      ASSERT_TRUE(peer.NextFrame(&frame));
      EXPECT_EQ(617u, frame.type);
      EXPECT_EQ("", frame.payload);
      EXPECT_TRUE(scene.Rows().empty());
    } else {
      EXPECT_EQ((Strings{"#a|1|x", "#b|2|y"}), scene.Rows());
    }
    // Going online asks the same way.
    scene.Message(MsgChannelListEntry, "#c 3 z");
    scene.Event(LinkOnline);
    if (connected) {
      ReceivedFrame frame;
      ASSERT_TRUE(peer.NextFrame(&frame));
      EXPECT_EQ(617u, frame.type);
      EXPECT_TRUE(scene.Rows().empty());
    } else {
      EXPECT_EQ(3u, scene.Rows().size());
    }
  }
}

namespace {

// A link logged in to a scripted peer that records every frame it receives
// after the login.
class COnlinePeer {
 public:
  COnlinePeer()
      : m_peer([this](CPeerConnection& connection, int) {
          AcceptLogin(connection);
          ReceivedFrame frame;
          while (connection.ReadFrame(&frame.type, &frame.payload)) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_frames.push_back(frame);
          }
        }) {}
  std::string Address() const { return m_peer.Address(); }
  Strings Frames() {
    std::lock_guard<std::mutex> guard(m_lock);
    Strings frames;
    for (const ReceivedFrame& f : m_frames)
      frames.push_back(std::to_string(f.type) + " " + f.payload);
    return frames;
  }

 private:
  std::mutex m_lock;
  std::vector<ReceivedFrame> m_frames;
  CScriptedPeer m_peer;
};

}  // namespace

TEST(ManagerPage, JoinSendsTheFirstSelectedNamedRowWhileOnline) {
  struct Case {
    const char* name;
    bool online;
    int selected;  // -1: none
    Strings boxes;
    Strings frames;  // after the 617 of going online
  } cases[] = {
      {"online, row 1 selected", true, 1, {}, {"400 50%s"}},
      {"online, nothing selected", true, -1, {}, {}},
      {"online, row without a name", true, 2, {}, {}},
      {"offline, row selected", false, 0, {"サーバに未接続です"}, {}},
      {"offline, nothing selected", false, -1, {}, {}},
  };
  for (const Case& c : cases) {
    COnlinePeer peer;
    CServerLink link;
    CManagerScene scene(&link);
    if (c.online) {
      ASSERT_EQ(1, link.Start(&scene.Host().target, peer.Address(), "nick")) << c.name;
      ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] { return scene.ShownImage() == kImageOnline; }))
          << c.name;
    }
    scene.Message(MsgChannelListEntry, "#a 1 x");
    scene.Message(MsgChannelListEntry, "50%s 2 y");
    scene.Message(MsgChannelListEntry, " 3 no name");
    if (c.selected >= 0) scene.SelectRow(c.selected);
    CMessageBoxWatch watch;
    scene.Click(IDC_MANAGER_JOIN);
    Strings expected = c.frames;
    if (c.online) {
      expected.insert(expected.begin(), "617 ");
      // Whatever the click sent is on the wire before this mark.
      SendFrame(&link, 999, "mark");
      ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] { return peer.Frames().size() > expected.size(); }))
          << c.name;
      expected.push_back("999 mark");
    }
    EXPECT_EQ(c.boxes, watch.Texts()) << c.name;
    for (const CMessageBoxWatch::Box& box : watch.Seen()) {
      EXPECT_EQ("エラー", box.caption) << c.name;
      EXPECT_EQ(::GetAncestor(scene.Page().m_hWnd, GA_ROOT), box.owner) << c.name;
    }
    EXPECT_EQ(expected, peer.Frames()) << c.name;
  }
}

TEST(ManagerPage, ConnectRefusesBadAddressesAndNicknames) {
  struct Case {
    const char* name;
    std::string address;
    std::string nickname;
    Strings boxes;
  } cases[] = {
      {"no port", "127.0.0.1", "nick", {"サーバーアドレスが不正です"}},
      {"port above 65535", "127.0.0.1:65536", "nick", {"サーバーアドレスが不正です"}},
      {"empty nickname", "127.0.0.1:4000", "", {"ニックネームが不正です"}},
  };
  for (const Case& c : cases) {
    CServerLink link;
    CManagerScene scene(&link);
    scene.SetText(IDC_MANAGER_ADDRESS, c.address);
    scene.SetText(IDC_MANAGER_NICKNAME, c.nickname);
    CMessageBoxWatch watch;
    scene.Click(IDC_MANAGER_CONNECT);
    EXPECT_EQ(c.boxes, watch.Texts()) << c.name;
    for (const CMessageBoxWatch::Box& box : watch.Seen()) {
      EXPECT_EQ(AfxGetApp()->m_pszAppName, box.caption) << c.name;
    }
    EXPECT_FALSE(scene.ToggleChecked()) << c.name;
    EXPECT_EQ("接続", scene.ToggleText()) << c.name;
    EXPECT_EQ(0, link.IsRunning()) << c.name;
  }
}

TEST(ManagerPage, ConnectingWhereNobodyListensEndsOffline) {
  CServerLink link;
  CManagerScene scene(&link);
  scene.SetText(IDC_MANAGER_ADDRESS, "127.0.0.1:" + std::to_string(UnusedPort()));
  scene.Click(IDC_MANAGER_CONNECT);
  EXPECT_TRUE(scene.ToggleChecked());
  EXPECT_EQ("切断", scene.ToggleText());
  ASSERT_TRUE(PumpUntil(
      kHangBoundMs, [&] { return link.IsRunning() == 0 && scene.ShownImage() == kImageOffline; }));
  EXPECT_FALSE(scene.ToggleChecked());
  EXPECT_EQ("接続", scene.ToggleText());
  EXPECT_TRUE(scene.EditsEnabled());
  EXPECT_EQ("", CompareConsole(scene.Item(IDC_MANAGER_SERVER_LOG),
                               {{"Connect 失敗\r\n", RGB(255, 255, 255)},
                                {"Connect 失敗\r\n", RGB(255, 255, 255)},
                                {"Connect 失敗\r\n", RGB(255, 255, 255)},
                                {"Connect 失敗\r\n", RGB(255, 255, 255)}}));
}

TEST(ManagerPage, NicknameEditTakesAtMost32Bytes) {
  CManagerScene scene(nullptr);
  HWND edit = scene.Item(IDC_MANAGER_NICKNAME);
  std::string wide;
  for (int i = 0; i < 15; ++i) wide += "名";  // 30 bytes
  struct Case {
    const char* name;
    std::string start;
    std::string typed;
    std::string expected;
  } cases[] = {
      {"a double-byte character fills the last two bytes", wide, "名", wide + "名"},
      {"no 33rd byte after 32", wide + "名", "a", wide + "名"},
      {"a text set past the limit is cut", "", std::string(40, 'n'), std::string(32, 'n')},
      {"a double-byte character does not fit one byte", wide + "a", "名", wide + "a"},
  };
  for (const Case& c : cases) {
    ::SetWindowTextA(edit, c.start.c_str());
    ::SendMessageA(edit, EM_SETSEL, c.start.size(), c.start.size());
    ::SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(c.typed.c_str()));
    EXPECT_EQ(c.expected, WindowText(edit)) << c.name;
  }
}

TEST(ManagerPage, LayoutStretchesTheGroupsToThePage) {
  CManagerScene scene(nullptr, 700, 520);
  auto rect = [&](int id) {
    CRect r;
    ::GetWindowRect(scene.Item(id), &r);
    scene.Page().ScreenToClient(&r);
    return r;
  };
  for (const SIZE size : {SIZE{900, 640}, SIZE{520, 480}}) {
    scene.Page().SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
    CRect client;
    scene.Page().GetClientRect(&client);
    for (int group :
         {IDC_MANAGER_SERVER_GROUP, IDC_MANAGER_MESSAGE_GROUP, IDC_MANAGER_CHANNEL_GROUP}) {
      EXPECT_EQ(client.right - rect(group).left, rect(group).right) << group;
    }
    EXPECT_EQ(rect(IDC_MANAGER_SERVER_GROUP).right - 10, rect(IDC_MANAGER_ADDRESS).right);
    EXPECT_EQ(rect(IDC_MANAGER_SERVER_GROUP).right - 10, rect(IDC_MANAGER_NICKNAME).right);
    EXPECT_EQ(rect(IDC_MANAGER_MESSAGE_GROUP).right - 10, rect(IDC_MANAGER_SERVER_LOG).right);
    EXPECT_EQ(client.bottom - 10, rect(IDC_MANAGER_CHANNEL_GROUP).bottom);
    EXPECT_EQ(rect(IDC_MANAGER_CHANNEL_GROUP).right - 10, rect(IDC_MANAGER_CHANNELS).right);
    EXPECT_EQ(rect(IDC_MANAGER_CHANNEL_GROUP).bottom - 10, rect(IDC_MANAGER_CHANNELS).bottom);
  }
  // Too small for the controls' offsets: empty controls, none turned inside out.
  scene.Page().SetWindowPos(nullptr, 0, 0, 30, 30, SWP_NOZORDER | SWP_NOMOVE);
  for (int id : {IDC_MANAGER_SERVER_GROUP, IDC_MANAGER_ADDRESS, IDC_MANAGER_SERVER_LOG,
                 IDC_MANAGER_CHANNEL_GROUP, IDC_MANAGER_CHANNELS}) {
    EXPECT_GE(rect(id).Width(), 0) << id;
    EXPECT_GE(rect(id).Height(), 0) << id;
  }
  // Enter and Escape leave the page alone.
  scene.Page().SendMessage(WM_COMMAND, IDOK);
  scene.Page().SendMessage(WM_COMMAND, IDCANCEL);
  EXPECT_TRUE(::IsWindow(scene.Page().m_hWnd));
}

TEST(ManagerPage, ASizeMessageBeforeTheControlsExistChangesNothing) {
  CTestWindow window;
  HWND bare = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100,
                                window.Handle(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
  CTestManagerHost host(nullptr);
  CManagerPage page(&host);
  ASSERT_TRUE(page.SubclassWindow(bare));
  page.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
  EXPECT_EQ(nullptr, ::GetWindow(bare, GW_CHILD));
  page.UnsubclassWindow();
  window.Destroy();
}

TEST(ManagerPage, CtrlFFindsInTheServerMessages) {
  CServerLink link;
  CManagerScene scene(&link);
  HWND log = scene.Item(IDC_MANAGER_SERVER_LOG);
  static_cast<CConsoleView*>(CWnd::FromHandlePermanent(log))
      ->AppendConsole(RGB(255, 255, 255), "接続しました\r\nwelcome\r\n");
  ::SetFocus(log);
  Press({'F', kCtrl});
  HWND dialog = ShownWindowOfClass("#32770");
  ASSERT_NE(nullptr, dialog);
  ::SetDlgItemTextA(dialog, 0x480, "welcome");  // the dialog's edit (edt1)
  ::SendMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  CHARRANGE selection = {};
  ::SendMessageA(log, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  EXPECT_EQ(8, selection.cpMin);
  ::SetFocus(::GetDlgItem(dialog, 0x480));
  Press({VK_ESCAPE, kPlain});
  EXPECT_EQ(log, ::GetFocus());
  // From the nickname, disabled by a connection meanwhile: to the toggle.
  ::SetFocus(scene.Item(IDC_MANAGER_NICKNAME));
  Press({'F', kCtrl});
  scene.Event(LinkConnecting);
  ::SetFocus(::GetDlgItem(ShownWindowOfClass("#32770"), 0x480));
  Press({VK_ESCAPE, kPlain});
  EXPECT_EQ(scene.Item(IDC_MANAGER_CONNECT), ::GetFocus());
  Press({'F', kCtrl});
  dialog = ShownWindowOfClass("#32770");
  scene.Page().ShowWindow(SW_HIDE);  // another tab shown
  EXPECT_FALSE(::IsWindow(dialog));
}
