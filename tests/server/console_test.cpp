// The operator console, driven through Server::Execute as the program feeds
// it each line of its standard input.
#include <string>

#include "test_client.h"

namespace orla_server {
namespace {

class ConsoleTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    config_.channels = {{"lobby", "Welcome"}};
    StartServer();
    a_ = LoggedIn("A");
    b_ = LoggedIn("B");
    a_->Send(400, "lobby");
    a_->Until(410);
    b_->Send(400, "lobby");
    b_->Until(410);
    a_->Until(406);
  }

  std::unique_ptr<TestClient> a_;
  std::unique_ptr<TestClient> b_;
};

TEST_F(ConsoleTest, NoticeGoesToEveryMemberOfTheChannel) {
  EXPECT_EQ(server_->Execute("notice lobby Server restarts at 22:00 !"), "notice sent\n");
  EXPECT_EQ(a_->Next(), (Frame{425, "lobby Server restarts at 22:00 !"}));
  EXPECT_EQ(b_->Next(), (Frame{425, "lobby Server restarts at 22:00 !"}));
  EXPECT_EQ(server_->Execute("notice nowhere hello"), "no channel \"nowhere\"\n");
}

TEST_F(ConsoleTest, TopicIsAnnouncedAndListed) {
  EXPECT_EQ(server_->Execute("topic lobby 今日の話題 です"), "topic set\n");
  EXPECT_EQ(a_->Next(), (Frame{410, "lobby 今日の話題 です"}));
  EXPECT_EQ(b_->Next(), (Frame{410, "lobby 今日の話題 です"}));
  a_->Send(617, "");
  EXPECT_EQ(a_->Next(), (Frame{618, "lobby 2 今日の話題 です"}));
}

TEST_F(ConsoleTest, KickRemovesTheUserFromTheChannelOnly) {
  EXPECT_EQ(server_->Execute("kick lobby B"), "kicked\n");
  EXPECT_EQ(b_->Next(), (Frame{401, "lobby"}));
  EXPECT_EQ(a_->Next(), (Frame{407, "lobby B 0 8"}));
  b_->Send(402, "lobby still here?");
  a_->Send(402, "lobby bye B");
  EXPECT_EQ(a_->Next(), (Frame{403, "lobby A bye B"}));
  EXPECT_TRUE(b_->Quiet());
  EXPECT_EQ(server_->Execute("kick lobby B"), "no user \"B\" in lobby\n");
}

TEST_F(ConsoleTest, CloseRemovesEveryMemberAndTheChannel) {
  EXPECT_EQ(server_->Execute("close lobby"), "channel closed\n");
  EXPECT_EQ(a_->Next(), (Frame{401, "lobby"}));
  EXPECT_EQ(b_->Next(), (Frame{401, "lobby"}));
  a_->Send(617, "");
  EXPECT_TRUE(a_->Quiet());
  EXPECT_EQ(server_->Execute("who lobby"), "no channel \"lobby\"\n");
}

TEST_F(ConsoleTest, WhoListsUsersAndChannelMembers) {
  EXPECT_EQ(server_->Execute("who"),
            "2 users online\n"
            "  A files=0 speed=8 lobby\n"
            "  B files=0 speed=8 lobby\n");
  EXPECT_EQ(server_->Execute("who lobby\r\n"),
            "lobby (2 users) topic: Welcome\n"
            "  A files=0 speed=8 lobby\n"
            "  B files=0 speed=8 lobby\n");
}

TEST_F(ConsoleTest, UnknownAndIncompleteCommandsShowTheCommands) {
  EXPECT_EQ(server_->Execute(""), "");
  EXPECT_NE(server_->Execute("dance").find("unknown command \"dance\""), std::string::npos);
  EXPECT_NE(server_->Execute("notice").find("usage:"), std::string::npos);
  EXPECT_NE(server_->Execute("help").find("kick CHANNEL NICK"), std::string::npos);
}

TEST_F(ConsoleTest, QuitStopsTheServerAndClosesEveryClient) {
  EXPECT_EQ(server_->Execute("quit"), "stopping\n");
  EXPECT_TRUE(server_->stopping());
  server_->WaitUntilStopped();
  EXPECT_TRUE(a_->WaitClosed());
  EXPECT_TRUE(b_->WaitClosed());
  EXPECT_EQ(server_->Execute("who"), "the server has stopped\n");
}

}  // namespace
}  // namespace orla_server
