// The operator console, driven through Server::Execute as the program feeds
// it each line of its standard input.
#include <string>

#include "tests/support/test_client.h"

namespace orla_server {
namespace {

class ConsoleTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    m_config.channels = {{"lobby", "Welcome"}};
    StartServer();
    m_a = LoggedIn("A");
    m_b = LoggedIn("B");
    m_a->Send(400, "lobby");
    m_a->Until(410);
    m_b->Send(400, "lobby");
    m_b->Until(410);
    m_a->Until(406);
  }

  std::unique_ptr<TestClient> m_a;
  std::unique_ptr<TestClient> m_b;
};

TEST_F(ConsoleTest, NoticeGoesToEveryMemberOfTheChannel) {
  EXPECT_EQ(m_server->Execute("notice lobby Server restarts at 22:00 !"), "notice sent\n");
  EXPECT_EQ(m_a->Next(), (Frame{425, "lobby Server restarts at 22:00 !"}));
  EXPECT_EQ(m_b->Next(), (Frame{425, "lobby Server restarts at 22:00 !"}));
  EXPECT_EQ(m_server->Execute("notice nowhere hello"), "no channel \"nowhere\"\n");
}

TEST_F(ConsoleTest, TopicIsAnnouncedAndListed) {
  EXPECT_EQ(m_server->Execute("topic lobby 今日の話題 です"), "topic set\n");
  EXPECT_EQ(m_a->Next(), (Frame{410, "lobby 今日の話題 です"}));
  EXPECT_EQ(m_b->Next(), (Frame{410, "lobby 今日の話題 です"}));
  m_a->Send(617, "");
  EXPECT_EQ(m_a->Next(), (Frame{618, "lobby 2 今日の話題 です"}));
}

TEST_F(ConsoleTest, KickRemovesTheUserFromTheChannelOnly) {
  EXPECT_EQ(m_server->Execute("kick lobby B"), "kicked\n");
  EXPECT_EQ(m_b->Next(), (Frame{401, "lobby"}));
  EXPECT_EQ(m_a->Next(), (Frame{407, "lobby B 0 8"}));
  m_b->Send(402, "lobby still here?");
  m_a->Send(402, "lobby bye B");
  EXPECT_EQ(m_a->Next(), (Frame{403, "lobby A bye B"}));
  EXPECT_TRUE(m_b->Quiet());
  EXPECT_EQ(m_server->Execute("kick lobby B"), "no user \"B\" in lobby\n");
}

TEST_F(ConsoleTest, CloseRemovesEveryMemberAndTheChannel) {
  EXPECT_EQ(m_server->Execute("close lobby"), "channel closed\n");
  EXPECT_EQ(m_a->Next(), (Frame{401, "lobby"}));
  EXPECT_EQ(m_b->Next(), (Frame{401, "lobby"}));
  m_a->Send(617, "");
  EXPECT_TRUE(m_a->Quiet());
  EXPECT_EQ(m_server->Execute("who lobby"), "no channel \"lobby\"\n");
}

TEST_F(ConsoleTest, WhoListsUsersAndChannelMembers) {
  EXPECT_EQ(m_server->Execute("who"),
            "2 users online\n"
            "  A files=0 speed=8 lobby\n"
            "  B files=0 speed=8 lobby\n");
  EXPECT_EQ(m_server->Execute("who lobby\r\n"),
            "lobby (2 users) topic: Welcome\n"
            "  A files=0 speed=8 lobby\n"
            "  B files=0 speed=8 lobby\n");
}

TEST_F(ConsoleTest, UnknownAndIncompleteCommandsShowTheCommands) {
  EXPECT_EQ(m_server->Execute(""), "");
  EXPECT_NE(m_server->Execute("dance").find("unknown command \"dance\""), std::string::npos);
  EXPECT_NE(m_server->Execute("notice").find("usage:"), std::string::npos);
  EXPECT_NE(m_server->Execute("help").find("kick CHANNEL NICK"), std::string::npos);
}

TEST_F(ConsoleTest, QuitStopsTheServerAndClosesEveryClient) {
  EXPECT_EQ(m_server->Execute("quit"), "stopping\n");
  EXPECT_TRUE(m_server->IsStopping());
  m_server->WaitUntilStopped();
  EXPECT_TRUE(m_a->WaitClosed());
  EXPECT_TRUE(m_b->WaitClosed());
  EXPECT_EQ(m_server->Execute("who"), "the server has stopped\n");
}

}  // namespace
}  // namespace orla_server
