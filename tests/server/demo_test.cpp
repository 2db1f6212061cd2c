// The demo cast: its channels are listed and a watcher sees its simulated
// users talk and come and go.
#include "server/demo.h"

#include <set>
#include <string>
#include <utility>

#include "link/cp932_text.h"
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

TEST_F(DemoTest, YukiAnswersAFirstPrivateMessageInItsLanguageAndTheCastAnswersPings) {
  m_config.demo = true;
  m_config.demoIntervalMs = 5;
  StartServer();
  // In no channel, so only what is sent to them privately arrives.
  auto japanese = LoggedIn("Hanako");
  auto english = LoggedIn("Jim");
  english->Send(205, "Ken hi");  // the rest of the cast does not answer
  japanese->Send(205, "Yuki こんにちは");
  english->Send(205, "Yuki hi there");
  for (auto [client, inJapanese] : {std::pair{japanese.get(), true}, {english.get(), false}}) {
    const Frame answer = client->Next();
    EXPECT_EQ(answer.payload.substr(0, 5), "Yuki ") << answer;
    EXPECT_EQ(answer.type == 205 && IsDoubleByteLead(answer.payload[5]), inJapanese) << answer;
  }
  english->Send(751, "Ken 42");
  EXPECT_EQ(english->Next(), (Frame{752, "Ken 42"}));
  english->Send(603, "Ken");
  const Frame info = english->Next();  // files, transfers, speed, client
  EXPECT_NE(info.payload.find("\" 12 0 0 4 \"Orla demo\""), std::string::npos) << info;
  EXPECT_TRUE(english->Quiet());
}

}  // namespace
}  // namespace orla_server
