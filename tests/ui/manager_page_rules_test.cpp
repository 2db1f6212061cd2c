// The manager page's limits through its controls: the longest address and
// nickname the page's edits take, which connect, and a worker that cannot
// start. (The window-free rules are tested in tests/ui_core.)
#include <gtest/gtest.h>

#include <string>

#include "link/cp932_text.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/manager_scene.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/peer.h"
#include "ui/core/manager_rules.h"

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
