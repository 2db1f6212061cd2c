// What a channel page sends: the input line on Enter (chat, action, cuts,
// commands) and the leave message when its window goes, as a scripted
// loopback peer receives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/message_catalogue.h"
#include "tests/support/key_press.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/popup_menu_watch.h"
#include "tests/support/ui_test_support.h"
// The Find dialog's control ids, after windows.h.
#include <dlgs.h>

namespace {

const std::string kA500(500, 'a');
const std::string kA600(600, 'a');
// "あ" is two bytes in code page 932.
const std::string kStraddle500 = std::string(499, 'a') + "あ";
const std::string kStraddleFrame = std::string(1013, 'a') + "あ";

struct InputCase {
  const char* name;
  std::string input;
  unsigned type;
  std::string payload;
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

const InputCase kInputCases[] = {
    {"chat", "hello there", 402, "#c hello there"},
    {"Japanese chat", "こんにちは 世界", 402, "#c こんにちは 世界"},
    {"/me action", "/me waves", 824, "#c \"waves\""},
    {"/me in upper case", "/ME waves", 824, "#c \"waves\""},
    {"/me in mixed case alone", "/mE ", 824, "#c \"\""},
    {"/action exact", "/action waves", 824, "#c \"waves\""},
    {"/action in other case is chat", "/Action waves", 402, "#c /Action waves"},
    {"/me without its space is chat", "/me", 402, "#c /me"},
    {"/action without its space is chat", "/actionwaves", 402, "#c /actionwaves"},
    {"chat is cut to 500 bytes", kA600, 402, "#c " + kA500},
    {"chat cut never splits a double-byte character", kStraddle500 + "zz", 402,
     "#c " + std::string(499, 'a')},
    {"a long action goes whole", "/me " + kA600, 824, "#c \"" + kA600 + "\""},
    {"an action too long for a frame is cut just enough to fit", "/me " + std::string(1019, 'b'),
     824, "#c \"" + std::string(1014, 'b') + "\""},
    {"that cut never splits a double-byte character", "/action " + kStraddleFrame + "b", 824,
     "#c \"" + std::string(1013, 'a') + "\""},
};

class ChannelPageKeys : public testing::Test {
 protected:
  void SetUp() override { page = OpenTestPage(&host, window.Handle(), "#c"); }
  void TearDown() override { window.Destroy(); }

  HWND Input() const { return ::GetDlgItem(page->m_hWnd, IDC_CHANNEL_INPUT); }
  BOOL PressEnter() {
    MSG msg = {Input(), WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
    return page->PreTranslateMessage(&msg);
  }

  CPeerLink peer;
  CTestPageHost host{peer.Link()};
  CTestWindow window;
  CChannelPage* page = nullptr;
};

class ChannelPageInput : public ChannelPageKeys, public testing::WithParamInterface<InputCase> {};

TEST_P(ChannelPageInput, EnterSendsTheLineAndEmptiesTheBox) {
  const InputCase& c = GetParam();
  ASSERT_NE(nullptr, page);
  ::SetWindowTextA(Input(), c.input.c_str());
  EXPECT_TRUE(PressEnter()) << c.name;
  ReceivedFrame frame;
  ASSERT_TRUE(peer.NextFrame(&frame)) << c.name;
  EXPECT_EQ(c.type, frame.type) << c.name;
  EXPECT_EQ(c.payload, frame.payload) << c.name;
  EXPECT_EQ(0, ::GetWindowTextLengthA(Input())) << c.name;
  EXPECT_EQ(Input(), ::GetFocus()) << c.name;
  EXPECT_EQ("", WindowText(page->GetDlgItem(IDC_CHANNEL_CONSOLE)->m_hWnd))
      << "nothing is shown locally";
}

INSTANTIATE_TEST_SUITE_P(Table, ChannelPageInput, testing::ValuesIn(kInputCases));

struct CommandCase {
  const char* name;
  std::string input;
  unsigned type;  // 0: nothing sent
  std::string payload;
  std::string shown;  // the console afterwards, which held "earlier\r\n"
  bool kept;          // the line stays in the box to be mended
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

// The test host opens no private page and sends no 603 of its own.
const CommandCase kCommandCases[] = {
    {"/join sends the join", "/Join lobby", 400, "lobby", "earlier\r\n", false},
    {"/join without a channel", "/join ", 0, "",
     "earlier\r\nチャンネル名がありません (使い方: /join <チャンネル>)\r\n", true},
    {"/msg sends to the person and says where it went", "/MSG bob hi  there", 205, "bob hi  there",
     "earlier\r\nbob さんの個人ページを開けません\r\n-> *bob* hi  there\r\n", false},
    {"/msg is cut as chat", "/msg bob " + kStraddle500 + "zz", 205, "bob " + std::string(499, 'a'),
     "earlier\r\nbob さんの個人ページを開けません\r\n-> *bob* " + std::string(499, 'a') + "\r\n",
     false},
    {"/msg without text", "/msg bob", 0, "",
     "earlier\r\n本文がありません (使い方: /msg <ニックネーム> <本文>)\r\n", true},
    {"/whois without a nickname", "/whois", 0, "",
     "earlier\r\nニックネームがありません (使い方: /whois <ニックネーム>)\r\n", true},
    {"/query that opens no page", "/query bob", 0, "",
     "earlier\r\nbob さんの個人ページを開けません\r\n", true},
    {"/clear empties the console", "/CLEAR", 0, "", "", false},
    {"an unknown command is chat", "/nick velmo", 402, "#c /nick velmo", "earlier\r\n", false},
};

class ChannelPageCommands : public ChannelPageKeys,
                            public testing::WithParamInterface<CommandCase> {};

TEST_P(ChannelPageCommands, ACommandDoesWhatItSaysOrSaysWhatIsMissing) {
  const CommandCase& c = GetParam();
  ASSERT_NE(nullptr, page);
  const HWND console = ::GetDlgItem(page->m_hWnd, IDC_CHANNEL_CONSOLE);
  page->AppendConsole(RGB(255, 255, 255), "earlier\r\n");
  ::SetWindowTextA(Input(), c.input.c_str());
  EXPECT_TRUE(PressEnter());
  ReceivedFrame frame;
  if (c.type != 0) {
    ASSERT_TRUE(peer.NextFrame(&frame));
    EXPECT_EQ(c.type, frame.type);
    EXPECT_EQ(c.payload, frame.payload);
  }
  EXPECT_TRUE(peer.NoFrame(c.type != 0 ? 100 : 300));
  EXPECT_EQ(c.shown, WindowText(console));
  EXPECT_EQ(c.kept ? c.input : "", WindowText(Input()));
}

INSTANTIATE_TEST_SUITE_P(Table, ChannelPageCommands, testing::ValuesIn(kCommandCases));

TEST_F(ChannelPageKeys, APrivatePageCompletesItsPersonsNameAndSendsToThem) {
  CChannelPage* bob = OpenTestPage(&host, window.Handle(), "ボブ", 600, 360, PageKind::kPrivate);
  ASSERT_NE(nullptr, bob);
  const HWND input = ::GetDlgItem(bob->m_hWnd, IDC_CHANNEL_INPUT);
  ::SetFocus(input);
  ::SetWindowTextA(input, "ぼ ボ");
  ::SendMessageA(input, EM_SETSEL, 100, 100);
  Press({VK_TAB, kPlain});
  EXPECT_EQ("ぼ ボブ", WindowText(input));
  Press({VK_RETURN, kPlain});
  ReceivedFrame frame;
  ASSERT_TRUE(peer.NextFrame(&frame));
  EXPECT_EQ(205u, frame.type);
  EXPECT_EQ("ボブ ぼ ボブ", frame.payload);
  EXPECT_EQ("", WindowText(input));
}

// The user list leads to a person: a double-click or Enter opens a private
// page, the menu (the right button, or the keyboard's Shift+F10 and menu key
// as Windows sends them, at (-1, -1)) offers it and the user's information.
TEST_F(ChannelPageKeys, TheUserListLeadsToAPersonByMouseAndByKeyboard) {
  ASSERT_NE(nullptr, page);
  DeliverMessage(page, MsgUserListEntry, "#c alice 1 2");
  DeliverMessage(page, MsgUserListEntry, "#c bob 3 4");
  const HWND list = ::GetDlgItem(page->m_hWnd, IDC_CHANNEL_USERS);
  RECT bob = {LVIR_LABEL, 0, 0, 0};
  ::SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&bob));
  const LPARAM onBob = MAKELPARAM(bob.left + 4, bob.top + 2);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    ::SendMessageA(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, onBob);
  EXPECT_EQ(std::vector<std::string>{"bob"}, host.privatePages);

  LVITEMA select = {};
  select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
  ::SetFocus(list);
  Press({VK_RETURN, kPlain});
  {
    CPopupMenuWatch watch('I');
    ::SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    EXPECT_EQ((std::vector<std::vector<std::string>>{{"個人メッセージ(&M)", "ユーザー情報(&I)"}}),
              watch.Menus());
  }
  EXPECT_EQ(std::vector<std::string>{"alice"}, host.asked);
  POINT onBobScreen = {bob.left + 4, bob.top + 2};
  ::ClientToScreen(list, &onBobScreen);
  const LPARAM at = MAKELPARAM(onBobScreen.x, onBobScreen.y);
  {
    CPopupMenuWatch watch('M');
    ::SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), at);
    EXPECT_EQ(1u, watch.Menus().size());
  }
  EXPECT_EQ((std::vector<std::string>{"bob", "alice", "bob"}), host.privatePages);
  EXPECT_EQ(1, ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED))
      << "the row the menu was for is selected";
  {
    CPopupMenuWatch watch(0);
    ::SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), at);
    // Another pane's menu is not the page's to show.
    const HWND console = ::GetDlgItem(page->m_hWnd, IDC_CHANNEL_CONSOLE);
    page->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(console), at);
    EXPECT_EQ(1u, watch.Menus().size());
  }
  EXPECT_EQ(3u, host.privatePages.size()) << "Esc chose nothing";
  EXPECT_EQ(1u, host.asked.size());
  EXPECT_TRUE(peer.NoFrame(100));
}

TEST_F(ChannelPageKeys, EnterOnAnEmptyBoxSendsNothingAndPassesTheKeyOn) {
  ASSERT_NE(nullptr, page);
  EXPECT_FALSE(PressEnter());
  EXPECT_EQ(0, page->SendInput());
  EXPECT_TRUE(peer.NoFrame());
}

TEST_F(ChannelPageKeys, OtherKeysAndOtherWindowsAreNotTakenAsInput) {
  ASSERT_NE(nullptr, page);
  ::SetWindowTextA(Input(), "typed");
  MSG other = {Input(), WM_KEYDOWN, 'A', 0, 0, {0, 0}};
  page->PreTranslateMessage(&other);
  MSG elsewhere = {
      ::GetDlgItem(page->m_hWnd, IDC_CHANNEL_USERS), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  page->PreTranslateMessage(&elsewhere);
  EXPECT_TRUE(peer.NoFrame());
  EXPECT_EQ(5, ::GetWindowTextLengthA(Input()));
}

TEST_F(ChannelPageKeys, AnEnterKeyThroughTheMessageLoopSendsTheLine) {
  ASSERT_NE(nullptr, page);
  ::SetWindowTextA(Input(), "via the queue");
  ::SetFocus(Input());
  ::PostMessageA(Input(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PumpPending();
  ReceivedFrame frame;
  ASSERT_TRUE(peer.NextFrame(&frame));
  EXPECT_EQ(402u, frame.type);
  EXPECT_EQ("#c via the queue", frame.payload);
}

// The notice a search leaves, as its tooltip holds it; "" when none shows.
std::string NoticeText() {
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  char text[128] = {};
  tool.lpszText = text;
  HWND notice = ShownWindowOfClass(TOOLTIPS_CLASSA);
  if (notice && ::SendMessageA(notice, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)))
    ::SendMessageA(notice, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  return text;
}

// The screen shows the text at a position selected: the system's highlight,
// or the black background inverted (the 1.0 class); the text is yellow.
bool DrawnSelected(HWND console, LONG at) {
  ::UpdateWindow(console);
  POINTL point = {};
  ::SendMessageA(console, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), at);
  HDC dc = ::GetDC(console);
  const COLORREF pixel = ::GetPixel(dc, point.x + 2, point.y);
  ::ReleaseDC(console, dc);
  return pixel == ::GetSysColor(COLOR_HIGHLIGHT) || pixel == RGB(255, 255, 255);
}

// Ctrl+F, the dialog's Find Next, F3 and Shift+F3 as a reader uses them over
// Japanese text: each match read back, drawn selected while the dialog has
// the focus and after, a notice naming the end the search went round. Esc
// gives the focus back; a hidden page closes its dialog, searches nothing.
TEST_F(ChannelPageKeys, FindSelectsEachMatchGoesRoundTheEndsAndEscGivesTheFocusBack) {
  ASSERT_NE(nullptr, page);
  auto* console = static_cast<CConsoleView*>(page->GetDlgItem(IDC_CHANNEL_CONSOLE));
  console->AppendConsole(RGB(255, 255, 0),
                         "日本語 foo\r\nFoo food\r\n<carol> ソフトの話をしよう\r\n");
  ::SetFocus(Input());
  const std::string atEnd = "末尾まで検索したので先頭から続けました";
  const std::string atStart = "先頭まで検索したので末尾から続けました";
  struct Step {
    Key key;           // VK_RETURN: the dialog's Find Next
    const char* what;  // typed there, and read back selected
    bool wholeWordMatchCase;
    LONG cpMin;  // positions count characters, "\r\n" two
    std::string notice;
  } steps[] = {
      {{'F', kCtrl}, "", false, -1, ""},
      {{VK_RETURN, kPlain}, "foo", false, 13, ""},  // up first
      {{VK_F3, kPlain}, "foo", false, 4, atEnd},
      {{VK_F3, kPlain}, "Foo", false, 9, ""},
      {{VK_F3, kShift}, "foo", false, 4, ""},
      {{VK_F3, kShift}, "foo", false, 13, atStart},
      {{VK_RETURN, kPlain}, "foo", true, 4, ""},
      {{VK_F3, kPlain}, "foo", true, 4, atEnd},
      {{VK_RETURN, kPlain}, "の話", false, 30, atStart},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << step.key.vk << " to " << step.cpMin);
    HWND dialog = ShownWindowOfClass("#32770");
    if (step.key.vk == VK_RETURN) {
      ASSERT_NE(nullptr, dialog);
      ::SetFocus(::GetDlgItem(dialog, edt1));
      ::SetDlgItemTextA(dialog, edt1, step.what);
      ::CheckDlgButton(dialog, chx1, step.wholeWordMatchCase);
      ::CheckDlgButton(dialog, chx2, step.wholeWordMatchCase);
      ::SendMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    } else {
      ::SetFocus(Input());
      Press(step.key);
    }
    if (step.cpMin < 0) continue;
    CHARRANGE selection = {};
    console->SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    EXPECT_EQ(step.cpMin, selection.cpMin);
    EXPECT_EQ(step.what, SelectedText(console->m_hWnd));
    EXPECT_EQ(step.notice, NoticeText());
    EXPECT_TRUE(DrawnSelected(console->m_hWnd, selection.cpMin));
  }
  HWND dialog = ShownWindowOfClass("#32770");
  ASSERT_NE(nullptr, dialog);
  ::SetFocus(::GetDlgItem(dialog, edt1));
  Press({VK_ESCAPE, kPlain});
  EXPECT_FALSE(::IsWindow(dialog));
  EXPECT_EQ(Input(), ::GetFocus());
  EXPECT_TRUE(DrawnSelected(console->m_hWnd, 30)) << "while the reader types";
  Press({'F', kCtrl});
  dialog = ShownWindowOfClass("#32770");
  page->ShowWindow(SW_HIDE);  // another tab shown
  EXPECT_FALSE(::IsWindow(dialog));
  console->SetSel(0, 0);
  MSG f3 = {Input(), WM_KEYDOWN, VK_F3, 1, 0, {0, 0}};
  page->PreTranslateMessage(&f3);
  EXPECT_EQ("", SelectedText(console->m_hWnd)) << "F3 in a hidden page searches nothing";
}

TEST_F(ChannelPageKeys, WithoutALinkTheLineStaysAndTheChatSaysItWasNotSent) {
  CTestPageHost offline;
  CChannelPage* lone = OpenTestPage(&offline, window.Handle(), "#c");
  ASSERT_NE(nullptr, lone);
  HWND input = ::GetDlgItem(lone->m_hWnd, IDC_CHANNEL_INPUT);
  ::SetWindowTextA(input, "/me waves");
  EXPECT_EQ(1, lone->SendInput());
  EXPECT_EQ("/me waves", WindowText(input));
  // A join while offline says so in the message box the manager page's
  // join uses; a private line says so in the page. Both stay to be sent.
  CMessageBoxWatch watch;
  for (const char* command : {"/join lobby", "/msg bob hi"}) {
    ::SetWindowTextA(input, command);
    EXPECT_EQ(1, lone->SendInput());
    EXPECT_EQ(command, WindowText(input));
  }
  EXPECT_EQ(std::vector<std::string>{"サーバに未接続です"}, watch.Texts());
  ASSERT_EQ(1u, watch.Seen().size());
  EXPECT_EQ("エラー", watch.Seen()[0].caption);
  EXPECT_EQ("", CompareConsole(::GetDlgItem(lone->m_hWnd, IDC_CHANNEL_CONSOLE),
                               {{"サーバに未接続のため発言を送信できませんでした\r\n", RGB(0, 255, 255)},
                                {"サーバに未接続です\r\n", RGB(0, 127, 255)}}));
  EXPECT_TRUE(offline.privatePages.empty()) << "a line that cannot go opens no page";
  // The page asks its host for the link as it goes: it must go before the host.
  lone->DestroyWindow();
}

class ChannelPageLeave : public testing::Test {
 protected:
  void TearDown() override { window.Destroy(); }
  CPeerLink peer;
  CTestPageHost host{peer.Link()};
  CTestWindow window;
};

TEST_F(ChannelPageLeave, TheLeaveButtonRemovesTheTabSendsLeaveAndEndsThePage) {
  CChannelPage* page = OpenTestPage(&host, window.Handle(), "#c");
  ASSERT_NE(nullptr, page);
  HWND pageWindow = page->m_hWnd;
  ::SendMessageA(::GetDlgItem(pageWindow, IDC_CHANNEL_LEAVE), BM_CLICK, 0, 0);
  ASSERT_EQ(1u, host.removed.size());
  EXPECT_EQ(page, host.removed[0]);
  EXPECT_FALSE(::IsWindow(pageWindow));
  ReceivedFrame frame;
  ASSERT_TRUE(peer.NextFrame(&frame));
  EXPECT_EQ(401u, frame.type);
  EXPECT_EQ("#c", frame.payload);
  EXPECT_TRUE(peer.NoFrame());
}

TEST_F(ChannelPageLeave, EveryPageSendsLeaveWhenItsParentIsDestroyed) {
  ASSERT_NE(nullptr, OpenTestPage(&host, window.Handle(), "#c"));
  ASSERT_NE(nullptr, OpenTestPage(&host, window.Handle(), "#日本語"));
  ASSERT_NE(nullptr, OpenTestPage(&host, window.Handle(), "#100%s"));
  window.Destroy();
  std::vector<std::string> left;
  ReceivedFrame frame;
  while (peer.NextFrame(&frame, 1000)) {
    EXPECT_EQ(401u, frame.type);
    left.push_back(frame.payload);
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ((std::vector<std::string>{"#100%s", "#c", "#日本語"}), left);
  EXPECT_TRUE(host.removed.empty()) << "only the button removes the tab";
}

TEST_F(ChannelPageLeave, EnterAndEscapeNeverEndThePage) {
  CChannelPage* page = OpenTestPage(&host, window.Handle(), "#c");
  ASSERT_NE(nullptr, page);
  page->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  page->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(::IsWindow(page->m_hWnd));
  EXPECT_TRUE(peer.NoFrame());
}

}  // namespace
