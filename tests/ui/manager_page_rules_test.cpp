// The manager page's decisions without its controls: the nickname check and
// the stretch of the page's controls; and the longest address and nickname
// the page's edits take, which connect.
#include <gtest/gtest.h>

#include <string>

#include "link/cp932_text.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/manager_scene.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/peer.h"
#include "ui/manager_rules.h"

TEST(ManagerRules, NicknameIsOneTo32Bytes) {
  std::string sixteenWide;
  for (int i = 0; i < 16; ++i) sixteenWide += "名";
  ASSERT_EQ(32u, sixteenWide.size());
  EXPECT_TRUE(IsValidNickname(sixteenWide.c_str()));
  EXPECT_FALSE(IsValidNickname((sixteenWide + "a").c_str()));
  EXPECT_TRUE(IsValidNickname("a"));
  EXPECT_FALSE(IsValidNickname(""));
  EXPECT_FALSE(IsValidNickname(nullptr));
}

namespace {

RECT Rect(LONG left, LONG top, LONG right, LONG bottom) { return {left, top, right, bottom}; }

}  // namespace

TEST(ManagerRules, StretchKeepsPlacesAndMargins) {
  // The template's controls at 1 dialog unit = 1.5 x 1.75 pixels, roughly.
  ManagerControls now;
  now.serverGroup = Rect(8, 9, 480, 87);
  now.address = Rect(300, 26, 472, 50);
  now.nickname = Rect(300, 52, 472, 76);
  now.messageGroup = Rect(8, 96, 480, 280);
  now.serverLog = Rect(15, 114, 472, 272);
  now.channelGroup = Rect(8, 289, 480, 472);
  now.channelList = Rect(15, 341, 472, 464);

  struct Case {
    const char* name;
    RECT client;
    ManagerControls expected;
  } cases[] = {
      {"wider and taller page",
       Rect(0, 0, 800, 600),
       {Rect(8, 9, 792, 87), Rect(300, 26, 782, 50), Rect(300, 52, 782, 76), Rect(8, 96, 792, 280),
        Rect(15, 114, 782, 272), Rect(8, 289, 792, 590), Rect(15, 341, 782, 580)}},
      // Narrower than the controls' offsets: every size stops at zero.
      {"page smaller than the offsets",
       Rect(0, 0, 10, 100),
       {Rect(8, 9, 8, 87), Rect(300, 26, 300, 50), Rect(300, 52, 300, 76), Rect(8, 96, 8, 280),
        Rect(15, 114, 15, 272), Rect(8, 289, 8, 289), Rect(15, 341, 15, 341)}},
  };
  for (const Case& c : cases) {
    const ManagerControls got = StretchManagerControls(c.client, now);
    const RECT* g[] = {&got.serverGroup, &got.address,      &got.nickname,   &got.messageGroup,
                       &got.serverLog,   &got.channelGroup, &got.channelList};
    const RECT* e[] = {&c.expected.serverGroup,  &c.expected.address,   &c.expected.nickname,
                       &c.expected.messageGroup, &c.expected.serverLog, &c.expected.channelGroup,
                       &c.expected.channelList};
    for (int i = 0; i < 7; ++i)
      EXPECT_EQ(CRect(*e[i]), CRect(*g[i])) << c.name << ", control " << i;
  }
}

TEST(ManagerPageLimits, LongestAddressAndNicknameAreTypedAndConnect) {
  // A valid address of exactly 255 bytes: the field after '@' fills it.
  const std::string server = "127.0.0.1:" + std::to_string(UnusedPort()) + "@";
  std::string wideField;
  while (wideField.size() + 2 <= 255 - server.size()) wideField += "欄";
  wideField.resize(255 - server.size(), 'f');
  std::string wideNick;
  for (int i = 0; i < 16; ++i) wideNick += "名";
  const struct {
    const char* name;
    std::string address;
    std::string nickname;
  } cases[] = {
      {"single-byte", server + std::string(255 - server.size(), 'f'), std::string(32, 'n')},
      {"double-byte", server + wideField, wideNick},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(255u, c.address.size()) << c.name;
    CServerLink link;
    CManagerScene scene(&link);
    // Typed as a user types: the last byte still goes in, one more does not.
    for (const auto& [id, text] :
         {std::pair{IDC_MANAGER_ADDRESS, c.address}, std::pair{IDC_MANAGER_NICKNAME, c.nickname}}) {
      const HWND edit = scene.Item(id);
      std::size_t last = 0;  // where the last character starts
      for (std::size_t at = 0; at < text.size(); at += CharLength(text.c_str() + at)) last = at;
      const std::string head = text.substr(0, last);
      scene.SetText(id, head);
      for (const char* typed : {text.c_str() + head.size(), "x"}) {
        ::SendMessageA(edit, EM_SETSEL, 1000, 1000);
        ::SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(typed));
      }
      EXPECT_EQ(text, WindowText(edit)) << c.name;
    }
    CMessageBoxWatch watch;
    scene.Click(IDC_MANAGER_CONNECT);
    EXPECT_EQ(std::vector<std::string>{}, watch.Texts()) << c.name;
    EXPECT_TRUE(scene.ToggleChecked()) << c.name;
    EXPECT_EQ("切断", scene.ToggleText()) << c.name;
    EXPECT_NE(0, link.IsRunning()) << c.name;
    link.Stop();
  }
}

// A worker that cannot be started (no memory for its thread): the toggle
// goes back, with no message and no exception, and nothing runs.
TEST(ManagerPageLimits, AWorkerThatCannotStartUnchecksTheToggleSilently) {
  CServerLink link;
  CManagerScene scene(&link);
  scene.SetText(IDC_MANAGER_ADDRESS, "127.0.0.1:" + std::to_string(UnusedPort()));
  scene.SetText(IDC_MANAGER_NICKNAME, "velmo");
  CMessageBoxWatch watch;
  FailNextAllocation();
  scene.Click(IDC_MANAGER_CONNECT);
  EXPECT_TRUE(AllocationFailed());
  EXPECT_EQ(std::vector<std::string>{}, watch.Texts());
  EXPECT_FALSE(scene.ToggleChecked());
  EXPECT_EQ("接続", scene.ToggleText());
  EXPECT_EQ(0, link.IsRunning());
}
