// The demo cast: its channels are listed and a watcher sees its simulated
// users talk and come and go.
#include "server/demo.h"

#include <set>
#include <string>

#include "tests/support/test_client.h"

namespace orla_server {
namespace {

class DemoTest : public ServerTest {};

TEST_F(DemoTest, WatcherSeesTheJapaneseChannelAndItsUsersTalk) {
  m_config.demo = true;
  m_config.demoIntervalMs = 5;
  m_config.motd = DemoCast::Motd();
  StartServer();
  auto watcher = LoggedIn("Watcher");
  watcher->Send(617, "");
  // The first entry may take long; the others come with it.
  auto list = watcher->Until(618);
  for (const Frame& frame : watcher->Until(0xFFFF, 300)) list.push_back(frame);
  const std::string japanese = "雑談 ";
  bool listed = false;
  for (const Frame& frame : list) {
    listed = listed || frame.payload.compare(0, japanese.size(), japanese) == 0;
  }
  EXPECT_TRUE(listed);

  watcher->Send(400, "雑談");
  std::set<std::uint16_t> seen;
  std::set<std::string> speakers;
  for (int i = 0; i < 2000; ++i) {
    Frame frame = watcher->Next();
    ASSERT_NE(frame.type, 0xFFFF) << frame;
    seen.insert(frame.type);
    std::string rest = frame.payload.substr(frame.payload.find(' ') + 1);
    if (frame.type == 403 || frame.type == 824) speakers.insert(rest.substr(0, rest.find(' ')));
    // Chat, actions and joins or leaves all happen, by simulated users.
    if (seen.count(403) && seen.count(824) && (seen.count(406) || seen.count(407))) break;
  }
  EXPECT_TRUE(seen.count(403));
  EXPECT_TRUE(seen.count(824));
  EXPECT_TRUE(seen.count(406) || seen.count(407));
  EXPECT_EQ(speakers.count("Watcher"), 0u);
  EXPECT_FALSE(speakers.empty());
}

}  // namespace
}  // namespace orla_server
