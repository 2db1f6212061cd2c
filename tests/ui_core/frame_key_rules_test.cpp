// The frame's keys as plain decisions: which tab a key selects among the
// tabs there are, and which keys no page may take. (Through real windows,
// key by key, in tests/ui/frame_keys_test.cpp.)
#include <gtest/gtest.h>

#include "ui/core/frame_keys.h"

namespace {

KeyStroke Ctrl(unsigned key) { return {true, key, true, false, false}; }
KeyStroke Alt(unsigned key) { return {true, key, false, true, false}; }

}  // namespace

TEST(FrameKeyRules, TabKeysAmongTheTabsThereAre) {
  const struct {
    const char* name;
    KeyStroke key;
    int selected;
    int count;
    int tab;
  } cases[] = {
      {"Ctrl+PgDn steps on", Ctrl(kKeyPageDown), 1, 3, 2},
      {"Ctrl+PgDn wraps", Ctrl(kKeyPageDown), 2, 3, 0},
      {"Ctrl+PgUp wraps", Ctrl(kKeyPageUp), 0, 3, 2},
      {"Ctrl+PgDn with none selected takes the first", Ctrl(kKeyPageDown), -1, 3, 0},
      {"Ctrl+PgUp with none selected takes the last", Ctrl(kKeyPageUp), -1, 3, 2},
      {"Ctrl+PgDn without tabs is taken, does nothing", Ctrl(kKeyPageDown), -1, 0, kNoSuchTab},
      {"Alt+1 is the manager tab", Alt('1'), 2, 3, 0},
      {"Alt+9 past the last tab is taken, does nothing", Alt('9'), 0, 3, kNoSuchTab},
      {"Ctrl+Shift+PgDn is no tab key", {true, kKeyPageDown, true, false, true}, 0, 3, kNotATabKey},
      {"Ctrl+Alt+1 is no tab key", {true, '1', true, true, false}, 0, 3, kNotATabKey},
      {"Alt+0 is no tab key", Alt('0'), 0, 3, kNotATabKey},
      {"a key going up is no tab key",
       {false, kKeyPageDown, true, false, false},
       0,
       3,
       kNotATabKey},
  };
  for (const auto& c : cases) EXPECT_EQ(c.tab, TabForKey(c.key, c.selected, c.count)) << c.name;
}

TEST(FrameKeyRules, PaneKeysRoundThePanesThereAre) {
  const KeyStroke f6 = {true, kKeyF6, false, false, false};
  const KeyStroke shiftF6 = {true, kKeyF6, false, false, true};
  const struct {
    const char* name;
    KeyStroke key;
    int current;
    int count;
    int pane;
  } cases[] = {
      {"F6 steps on", f6, 0, 3, 1},
      {"F6 wraps", f6, 2, 3, 0},
      {"Shift+F6 steps back, wrapping", shiftF6, 0, 3, 2},
      {"F6 from outside the panes takes the first", f6, -1, 3, 0},
      {"Shift+F6 from outside the panes takes the last", shiftF6, -1, 3, 2},
      {"a page without panes takes no pane key", f6, -1, 0, kNotAPaneKey},
      {"Ctrl+F6 is the host's", Ctrl(kKeyF6), 0, 3, kNotAPaneKey},
  };
  for (const auto& c : cases) EXPECT_EQ(c.pane, PaneForKey(c.key, c.current, c.count)) << c.name;
}

TEST(FrameKeyRules, TheHostsWindowKeysAndTheTabKeysAreTheFrames) {
  EXPECT_TRUE(IsHostWindowKey(Ctrl(kKeyTab)));
  EXPECT_TRUE(IsHostWindowKey({true, kKeyF6, true, false, true}));
  EXPECT_FALSE(IsHostWindowKey({true, kKeyTab, false, false, false}));
  EXPECT_TRUE(IsFrameKey(Alt('9')));
  EXPECT_TRUE(IsFrameKey(Ctrl(kKeyF6)));
  EXPECT_TRUE(IsFrameKey({true, kKeyF6, false, false, true}));
  EXPECT_FALSE(IsFrameKey(Ctrl('9')));
}
