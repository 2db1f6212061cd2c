// The keyboard in the manager frame, key by key through the thread's
// message pump as a user's keys go: tab switching from anywhere in the page
// host, F6, the input history and nick completion in a channel page's input
// line. Real page host, tab bar, pages and edit controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/message_catalogue.h"
#include "tests/support/key_press.h"
#include "tests/support/ui_test_support.h"
#include "ui/console/burst_redraw.h"
#include "ui/core/edit_offsets.h"
#include "ui/host/page_host_dlg.h"
#include "ui/host/page_host_ids.h"
#include "ui/pages/manager_page_ids.h"
#include "ui/ui_messages.h"

namespace {

const Key kUp = {VK_UP, kPlain};
const Key kDown = {VK_DOWN, kPlain};
const Key kTab = {VK_TAB, kPlain};
const Key kF6 = {VK_F6, kPlain};

// Where the focus is expected afterwards, on the selected tab's page.
enum Focus { kOnInput, kOnConnect, kOnLeave, kOnChat };

struct KeyCase {
  const char* name;
  int startTab;                   // 0 the manager page, 1 "#a", 2 "#b"
  std::vector<std::string> sent;  // lines sent from the start page first
  std::string typed;              // the start page's input line, caret at its end
  std::vector<Key> keys;
  int tab;            // selected, and the only page shown
  std::string input;  // the selected channel page's input line
  std::size_t caret;  // in bytes
  Focus focus;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

const KeyCase kKeyCases[] = {
    {"Ctrl+PgDn selects the next tab", 1, {}, "", {kNextTab}, 2, "", 0, kOnInput},
    {"Ctrl+PgDn on the last tab wraps to the manager", 2, {}, "", {kNextTab}, 0, "", 0, kOnConnect},
    {"Ctrl+PgUp on the manager wraps to the last tab",
     0,
     {},
     "",
     {kPreviousTab},
     2,
     "",
     0,
     kOnInput},
    {"Ctrl+PgUp keeps each page's line",
     2,
     {},
     "half",
     {kPreviousTab, kNextTab},
     2,
     "half",
     4,
     kOnInput},
    {"Alt+1 selects the manager page", 2, {}, "", {AltDigit('1')}, 0, "", 0, kOnConnect},
    {"Alt+2 from the manager focuses the channel's input line",
     0,
     {},
     "",
     {AltDigit('2')},
     1,
     "",
     0,
     kOnInput},
    {"Alt+digit beyond the last tab does nothing",
     1,
     {},
     "draft",
     {AltDigit('4')},
     1,
     "draft",
     5,
     kOnInput},
    {"Ctrl+Tab is left to the host", 1, {}, "draft", {{VK_TAB, kCtrl}}, 1, "draft", 5, kOnInput},
    {"Up on an empty history leaves the line", 1, {}, "abc", {kUp}, 1, "abc", 3, kOnInput},
    {"Up recalls the newest line, then the one before",
     1,
     {"one", "two"},
     "dr",
     {kUp, kUp},
     1,
     "one",
     3,
     kOnInput},
    {"Up stops at the oldest line", 1, {"one", "two"}, "", {kUp, kUp, kUp}, 1, "one", 3, kOnInput},
    {"Down past the newest gives back the draft",
     1,
     {"one", "two"},
     "draft",
     {kUp, kUp, kDown, kDown},
     1,
     "draft",
     5,
     kOnInput},
    {"the history is the page's own", 2, {}, "", {kUp}, 2, "", 0, kOnInput},
    {"Tab completes at the start of the line with a colon",
     1,
     {},
     "bo",
     {kTab},
     1,
     "Bob: ",
     5,
     kOnInput},
    {"repeated Tab cycles in list order and round again",
     1,
     {},
     "bo",
     {kTab, kTab, kTab},
     1,
     "Bob: ",
     5,
     kOnInput},
    {"Tab mid-line ignores case and adds no colon",
     1,
     {},
     "hi BOB",
     {kTab, kTab},
     1,
     "hi bobby",
     8,
     kOnInput},
    {"a double-byte prefix completes whole", 1, {}, "やあ ボ", {kTab}, 1, "やあ ボブ", 9, kOnInput},
    {"Tab with no match moves the focus", 1, {}, "zz", {kTab}, 1, "zz", 2, kOnLeave},
    {"Tab with no partial word moves the focus", 1, {}, "hi ", {kTab}, 1, "hi ", 3, kOnLeave},
    // Two lines in a burst hold the shown chat's redrawing (the clock stands still).
    {"F6 reaches the chat while a burst holds its redrawing", 2, {}, "", {kF6}, 2, "", 0, kOnChat},
};

class FrameKeys : public testing::TestWithParam<KeyCase> {
 protected:
  void SetUp() override {
    CBurstRedraw::SetClock([] { return DWORD{1000}; });
    ASSERT_TRUE(host.Create(CPageHostDlg::IDD, CWnd::FromHandle(window.Handle())));
    host.SetWindowPos(nullptr, 0, 0, 640, 400, SWP_NOZORDER);
    host.ShowWindow(SW_SHOW);
    ASSERT_NE(nullptr, host.OpenChannelPage("#a"));
    ASSERT_NE(nullptr, host.OpenChannelPage("#b"));
    for (const char* user : {"ボブ", "bobby", "alice", "Bob"}) {
      for (const char* channel : {"#a", "#b"}) {
        SendLinkMessage(host.m_hWnd, MsgUserListEntry, std::string(channel) + " " + user + " 1 2");
      }
    }
    for (const char* line : {"#b alice hello", "#b alice again"})
      SendLinkMessage(host.m_hWnd, MsgChannelText, line);
    PumpPending();
  }
  void TearDown() override { window.Destroy(), CBurstRedraw::SetClock(nullptr); }

  CTabBar* TabBar() const {
    return static_cast<CTabBar*>(
        CWnd::FromHandlePermanent(::GetDlgItem(host.m_hWnd, IDC_PAGE_HOST_TAB_BAR)));
  }
  HWND Page(int tab) const { return TabBar()->GetTabPage(tab)->m_hWnd; }
  HWND Input(int tab) const { return ::GetDlgItem(Page(tab), IDC_CHANNEL_INPUT); }

  static void Type(HWND input, const std::string& text) {
    ::SetWindowTextA(input, text.c_str());
    const WPARAM end = static_cast<WPARAM>(::SendMessageA(input, EM_LINELENGTH, 0, 0));
    ::SendMessageA(input, EM_SETSEL, end, static_cast<LPARAM>(end));
  }
  // The caret of a single-line edit in bytes of its text.
  static std::size_t CaretBytes(HWND input, const std::string& text) {
    DWORD caret = 0;
    ::SendMessageA(input, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    return ByteOffsetOfPosition(
        text.c_str(), static_cast<std::size_t>(::SendMessageA(input, EM_LINELENGTH, 0, 0)), caret);
  }

  CTestWindow window{700, 460};
  CPageHostDlg host;
};

TEST_P(FrameKeys, KeysSelectTabsAndEditTheInputLine) {
  const KeyCase& c = GetParam();
  TabBar()->ClickTab(c.startTab);
  if (c.startTab == 0) {
    ::SetFocus(::GetDlgItem(Page(0), IDC_MANAGER_CONNECT));
  } else {
    ::SetFocus(Input(c.startTab));
    for (const std::string& line : c.sent) {
      Type(Input(c.startTab), line);
      Press({VK_RETURN, kPlain});
    }
    Type(Input(c.startTab), c.typed);
  }
  for (const Key& key : c.keys) Press(key);

  EXPECT_EQ(c.tab, TabBar()->GetCurSel());
  for (int tab = 0; tab < TabBar()->GetTabCount(); ++tab)
    EXPECT_EQ(tab == c.tab, ::IsWindowVisible(Page(tab)) != 0) << "page of tab " << tab;
  if (c.tab > 0) {
    const std::string text = WindowText(Input(c.tab));
    EXPECT_EQ(c.input, text);
    EXPECT_EQ(c.caret, CaretBytes(Input(c.tab), text));
  }
  const int focusId[] = {IDC_CHANNEL_INPUT, IDC_MANAGER_CONNECT, IDC_CHANNEL_LEAVE,
                         IDC_CHANNEL_CONSOLE};
  EXPECT_EQ(::GetDlgItem(Page(c.tab), focusId[c.focus]), ::GetFocus());
}

INSTANTIATE_TEST_SUITE_P(Table, FrameKeys, testing::ValuesIn(kKeyCases));

}  // namespace
