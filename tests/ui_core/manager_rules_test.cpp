// The manager page's decisions without its controls: the nickname check and
// the stretch of the page's controls, natively and under every preset.
#include "ui/core/manager_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const Rect& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

}  // namespace

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

TEST(ManagerRules, StretchKeepsPlacesAndMargins) {
  // The template's controls at 1 dialog unit = 1.5 x 1.75 pixels, roughly.
  ManagerControls now;
  now.serverGroup = Rect{8, 9, 480, 87};
  now.address = Rect{300, 26, 472, 50};
  now.nickname = Rect{300, 52, 472, 76};
  now.messageGroup = Rect{8, 96, 480, 280};
  now.serverLog = Rect{15, 114, 472, 272};
  now.channelGroup = Rect{8, 289, 480, 472};
  now.channelList = Rect{15, 341, 472, 464};

  struct Case {
    const char* name;
    Rect client;
    ManagerControls expected;
  } cases[] = {
      {"wider and taller page",
       Rect{0, 0, 800, 600},
       {Rect{8, 9, 792, 87}, Rect{300, 26, 782, 50}, Rect{300, 52, 782, 76}, Rect{8, 96, 792, 280},
        Rect{15, 114, 782, 272}, Rect{8, 289, 792, 590}, Rect{15, 341, 782, 580}}},
      // Narrower than the controls' offsets: every size stops at zero.
      {"page smaller than the offsets",
       Rect{0, 0, 10, 100},
       {Rect{8, 9, 8, 87}, Rect{300, 26, 300, 50}, Rect{300, 52, 300, 76}, Rect{8, 96, 8, 280},
        Rect{15, 114, 15, 272}, Rect{8, 289, 8, 289}, Rect{15, 341, 15, 341}}},
  };
  for (const Case& c : cases) {
    const ManagerControls got = StretchManagerControls(c.client, now);
    const Rect* g[] = {&got.serverGroup, &got.address,      &got.nickname,   &got.messageGroup,
                       &got.serverLog,   &got.channelGroup, &got.channelList};
    const Rect* e[] = {&c.expected.serverGroup,  &c.expected.address,   &c.expected.nickname,
                       &c.expected.messageGroup, &c.expected.serverLog, &c.expected.channelGroup,
                       &c.expected.channelList};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(Text(*e[i]), Text(*g[i])) << c.name << ", control " << i;
  }
}
