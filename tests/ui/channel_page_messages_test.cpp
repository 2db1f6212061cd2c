// What a channel page does with each received message: one table row per
// message, read back from the real console, list and topic line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/link_event.h"
#include "tests/support/ui_test_support.h"
#include "ui/ui_messages.h"

namespace {

const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kGreen = RGB(128, 255, 0);
const COLORREF kPink = RGB(255, 128, 128);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kCyan = RGB(0, 255, 255);

struct MessageCase {
  const char* name;
  std::vector<std::string> usersBefore;  // rows added before the message
  unsigned type;
  std::string payload;
  bool handled;
  std::vector<Piece> console;
  std::vector<std::string> rows;  // "nick|files|speed" after the message
  std::string topic;              // the topic line after the message
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

const std::string kLongTopic(1015, 't');

const std::vector<MessageCase> kMessageCases = {
    // 403 chat.
    {"chat line",
     {},
     403,
     "#c alice hello there",
     true,
     {{"<alice> ", kYellow}, {"hello there\r\n", kWhite}},
     {},
     ""},
    {"Japanese chat keeps its spaces",
     {},
     403,
     "#c 太郎 こんにちは 世界",
     true,
     {{"<太郎> ", kYellow}, {"こんにちは 世界\r\n", kWhite}},
     {},
     ""},
    {"chat without nick or text",
     {},
     403,
     "#c",
     true,
     {{"<> ", kYellow}, {"\r\n", kWhite}},
     {},
     ""},
    {"chat of another channel", {}, 403, "#d alice hi", false, {}, {}, ""},
    {"chat of a channel that merely starts with ours", {}, 403, "#cat alice hi", false, {}, {}, ""},
    {"chat of a channel differing in case", {}, 403, "#C alice hi", false, {}, {}, ""},
    {"unsafe rich text in chat is refused",
     {},
     403,
     "#c mallory {\\rtf1\\f1234 x}",
     true,
     {{"<mallory> ", kYellow}, {"不正なタグを使用！\r\n", kCyan}},
     {},
     ""},
    // 406 entered, 408 list entry.
    {"user entered",
     {},
     406,
     "#c bob 120 8",
     true,
     {{"bob (DSL 120 files) has entered\r\n", kGreen}},
     {"bob|120|DSL"},
     ""},
    {"file count keeps its low 16 bits, unknown speed code",
     {},
     406,
     "#c bob 70000 12",
     true,
     {{"bob (N/A 4464 files) has entered\r\n", kGreen}},
     {"bob|4464|N/A"},
     ""},
    {"speed code keeps its low 16 bits",
     {},
     406,
     "#c bob 65535 65544",
     true,
     {{"bob (DSL 65535 files) has entered\r\n", kGreen}},
     {"bob|65535|DSL"},
     ""},
    {"highest named speed",
     {},
     406,
     "#c bob 0 10",
     true,
     {{"bob (T3+ 0 files) has entered\r\n", kGreen}},
     {"bob|0|T3+"},
     ""},
    {"first unnamed speed",
     {},
     406,
     "#c bob 0 11",
     true,
     {{"bob (N/A 0 files) has entered\r\n", kGreen}},
     {"bob|0|N/A"},
     ""},
    {"entered without numbers",
     {},
     406,
     "#c bob",
     true,
     {{"bob (Unknown 0 files) has entered\r\n", kGreen}},
     {"bob|0|Unknown"},
     ""},
    {"signed numbers read as %u reads them",
     {},
     406,
     "#c bob -1 +8",
     true,
     {{"bob (DSL 65535 files) has entered\r\n", kGreen}},
     {"bob|65535|DSL"},
     ""},
    {"non-numeric file count reads as 0",
     {},
     406,
     "#c bob x10 3",
     true,
     {{"bob (33.6K 0 files) has entered\r\n", kGreen}},
     {"bob|0|33.6K"},
     ""},
    {"list entry adds a row silently", {}, 408, "#c bob 120 8", true, {}, {"bob|120|DSL"}, ""},
    {"list rows are sorted without regard to case",
     {"dave", "Bob"},
     408,
     "#c alice 1 7",
     true,
     {},
     {"alice|1|Cable", "Bob|0|Unknown", "dave|0|Unknown"},
     ""},
    {"list entry for another channel", {}, 408, "#d bob 120 8", false, {}, {}, ""},
    // 407 left.
    {"user left removes the first of two rows",
     {"bob", "bob"},
     407,
     "#c bob 0 0",
     true,
     {{"bob has left\r\n", kPink}},
     {"bob|0|Unknown"},
     ""},
    {"user left who is not listed",
     {"carol"},
     407,
     "#c bob 0 0",
     true,
     {{"bob has left\r\n", kPink}},
     {"carol|0|Unknown"},
     ""},
    {"user left keeps a longer name that starts with it",
     {"bobby"},
     407,
     "#c bob 0 0",
     true,
     {{"bob has left\r\n", kPink}},
     {"bobby|0|Unknown"},
     ""},
    {"user left keeps a shorter name that starts its own",
     {"bob", "bobby"},
     407,
     "#c bobby 0 0",
     true,
     {{"bobby has left\r\n", kPink}},
     {"bob|0|Unknown"},
     ""},
    {"user left compares names with case",
     {"Bob"},
     407,
     "#c bob",
     true,
     {{"bob has left\r\n", kPink}},
     {"Bob|0|Unknown"},
     ""},
    // 410 topic, 425 notice.
    {"topic",
     {},
     410,
     "#c new topic",
     true,
     {{"Topic: new topic\r\n", kBlue}},
     {},
     "#c\r\nnew topic"},
    {"empty topic", {}, 410, "#c", true, {{"Topic: \r\n", kBlue}}, {}, "#c\r\n"},
    {"a topic too long for one line is cut but keeps its line break",
     {},
     410,
     "#c " + kLongTopic,
     true,
     {{"Topic: " + kLongTopic.substr(0, 1014) + "\r\n", kBlue}},
     {},
     "#c\r\n" + kLongTopic},
    {"topic of another channel", {}, 410, "#d new topic", false, {}, {}, ""},
    {"channel notice",
     {},
     425,
     "#c server says hi",
     true,
     {{"\r\nserver says hi\r\n\r\n", kWhite}},
     {},
     ""},
    // 824 action.
    {"action",
     {},
     824,
     "#c carol \"waves\"",
     true,
     {{"carol ", kMagenta}, {"waves\r\n", kMagenta}},
     {},
     ""},
    {"action with a one-byte rest",
     {},
     824,
     "#c carol x",
     true,
     {{"carol ", kMagenta}, {"\r\n", kMagenta}},
     {},
     ""},
    {"action without a rest",
     {},
     824,
     "#c carol",
     true,
     {{"carol ", kMagenta}, {"\r\n", kMagenta}},
     {},
     ""},
    {"action of another channel", {}, 824, "#d carol \"waves\"", false, {}, {}, ""},
    // 401 leave: the whole payload must be the channel.
    {"server leave",
     {},
     401,
     "#c",
     true,
     {{"\r\nサーバーから切断されました！\r\n\r\n", kCyan}},
     {},
     ""},
    {"server leave with more after the name", {}, 401, "#c x", false, {}, {}, ""},
    {"server leave of a longer name", {}, 401, "#cat", false, {}, {}, ""},
    // A confirmed join: the entries that follow list every member anew.
    {"join confirmation empties the list", {"bob", "amy"}, 405, "#c", true, {}, {}, ""},
    {"join confirmation of a longer name", {"bob"}, 405, "#cat", false, {}, {"bob|0|Unknown"}, ""},
    // Types the page does not take.
    {"channel list entry", {}, 618, "#c 3 topic", false, {}, {}, ""},
    {"message of the day", {}, 621, "#c hello", false, {}, {}, ""},
    {"chat request type", {}, 402, "#c hello", false, {}, {}, ""},
};

class ChannelPageMessages : public testing::TestWithParam<MessageCase> {
 protected:
  void SetUp() override { page = OpenTestPage(&host, window.Handle(), "#c"); }
  void TearDown() override { window.Destroy(); }

  CTestWindow window;
  CTestPageHost host;
  CChannelPage* page = nullptr;
};

TEST_P(ChannelPageMessages, ShowsTheMessageAsTheTableSays) {
  const MessageCase& c = GetParam();
  ASSERT_NE(nullptr, page);
  for (const std::string& user : c.usersBefore) page->AddUser(user.c_str(), 0, 0);
  EXPECT_EQ(c.handled ? 1 : 0, DeliverMessage(page, c.type, c.payload)) << c.name;
  EXPECT_EQ("", CompareConsole(page->GetDlgItem(IDC_CHANNEL_CONSOLE)->m_hWnd, c.console)) << c.name;
  EXPECT_EQ(c.rows, ListRows(page->GetDlgItem(IDC_CHANNEL_USERS)->m_hWnd)) << c.name;
  EXPECT_EQ(c.topic, WindowText(page->GetDlgItem(IDC_CHANNEL_TOPIC)->m_hWnd)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, ChannelPageMessages, testing::ValuesIn(kMessageCases));

class ChannelPageEvents : public testing::Test {
 protected:
  void TearDown() override { window.Destroy(); }
  CTestWindow window;
  CTestPageHost host;
};

// The list and topic stay as they were; a dropped connection is said once.
TEST_F(ChannelPageEvents, LinkStateEventsAreNotTakenAndOnlyADropIsSaid) {
  CChannelPage* page = OpenTestPage(&host, window.Handle(), "#c");
  ASSERT_NE(nullptr, page);
  DeliverMessage(page, 408, "#c bob 1 8");
  DeliverMessage(page, 410, "#c topic");
  const std::string before = WindowText(page->GetDlgItem(IDC_CHANNEL_CONSOLE)->m_hWnd);
  for (int code = LinkGaveUp; code <= LinkOffline; ++code) {
    EXPECT_EQ(0, page->SendMessage(WM_LINK_EVENT, code, code == LinkGaveUp ? 1 : 0)) << code;
  }
  EXPECT_EQ(before + "サーバーとの接続が切れました\r\n",
            WindowText(page->GetDlgItem(IDC_CHANNEL_CONSOLE)->m_hWnd));
  EXPECT_EQ(std::vector<std::string>{"bob|1|DSL"},
            ListRows(page->GetDlgItem(IDC_CHANNEL_USERS)->m_hWnd));
}

TEST_F(ChannelPageEvents, UserLeftRemovesTheFirstRowOfTheNameInListOrder) {
  CChannelPage* page = OpenTestPage(&host, window.Handle(), "#c");
  ASSERT_NE(nullptr, page);
  page->AddUser("bob", 1, 8);
  page->AddUser("bob", 2, 9);
  page->AddUser("amy", 3, 1);
  const HWND list = page->GetDlgItem(IDC_CHANNEL_USERS)->m_hWnd;
  const std::vector<std::string> before = ListRows(list);
  ASSERT_EQ(3u, before.size());
  EXPECT_EQ(1, DeliverMessage(page, 407, "#c bob 0 0"));
  EXPECT_EQ((std::vector<std::string>{before[0], before[2]}), ListRows(list));
}

TEST_F(ChannelPageEvents, APageTakesOnlyItsOwnChannelAmongSeveral) {
  CChannelPage* short_name = OpenTestPage(&host, window.Handle(), "#c");
  CChannelPage* long_name = OpenTestPage(&host, window.Handle(), "#cat");
  ASSERT_NE(nullptr, short_name);
  ASSERT_NE(nullptr, long_name);
  EXPECT_EQ(0, DeliverMessage(short_name, 403, "#cat tom meow"));
  EXPECT_EQ(1, DeliverMessage(long_name, 403, "#cat tom meow"));
  EXPECT_EQ("", WindowText(short_name->GetDlgItem(IDC_CHANNEL_CONSOLE)->m_hWnd));
  EXPECT_EQ("<tom> meow\r\n", WindowText(long_name->GetDlgItem(IDC_CHANNEL_CONSOLE)->m_hWnd));
}

}  // namespace
