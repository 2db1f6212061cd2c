// Logging in against the real server: the way online with the message of the
// day, nicknames the server refuses, a server that is not there, and a
// server that goes away under an online link.
#include <cstdio>
#include <string>
#include <vector>

#include "integration_fixture.h"
#include "link/message_catalogue.h"

namespace {

using Strings = std::vector<std::string>;

class Login : public IntegrationTest {
 protected:
  void SetUp() override { config.motd = {"ようこそ Orla へ", "", "rules: be kind"}; }

  // What a refused login shows: per attempt the reply's line and the failure.
  static Strings RefusedFourTimes(const std::string& reason) {
    char diag[128];
    std::snprintf(diag, sizeof(diag), "diag Recv: [%04zu][0004] %s\r\n", reason.size(),
                  reason.c_str());
    Strings expected = {"connecting"};
    for (int attempt = 0; attempt < 4; ++attempt) {
      expected.push_back(diag);
      expected.push_back("white ログイン失敗\r\n");
    }
    expected.push_back("gave up 1");
    return expected;
  }
};

TEST_F(Login, GoesOnlineAndShowsTheMessageOfTheDayInOrder) {
  StartServer();
  ChatUser& user = Connect("alice");
  ASSERT_TRUE(WaitForType(user, MsgMotd, 3));
  EXPECT_EQ((Strings{"connecting", "diag Recv: [0005][0003] alice\r\n", "online",
                     "message 621 16 ようこそ Orla へ", "message 621 0 ",
                     "message 621 14 rules: be kind"}),
            user.recorder.Transcript());
  EXPECT_EQ(1, user.link.IsOnline());
  // The server counts the user as online under the nickname sent.
  EXPECT_NE(std::string::npos, server->Execute("who").find("  alice "));
}

TEST_F(Login, NicknameTheServerRefusesGivesUpAfterFourAttempts) {
  StartServer();
  ChatUser& tooLong = Connect(std::string(33, 'n'));
  ASSERT_TRUE(WaitFor(tooLong, "gave up 1"));
  EXPECT_EQ(RefusedFourTimes("nickname is longer than 32 bytes"), tooLong.recorder.Transcript());
  EXPECT_EQ(0, tooLong.link.IsRunning());

  // The same nickname from a second link: the first stays online.
  ChatUser& first = Online("bob");
  ChatUser& second = Connect("bob");
  ASSERT_TRUE(WaitFor(second, "gave up 1"));
  EXPECT_EQ(RefusedFourTimes("nickname is already online"), second.recorder.Transcript());
  EXPECT_EQ(1, first.link.IsOnline());
  EXPECT_FALSE(first.recorder.Has("offline"));
}

TEST_F(Login, ReconnectingRightAfterStopGetsTheSameNicknameBack) {
  StartServer();
  // Its second byte is a backslash: the nickname must survive both sides.
  const std::string nickname = "表示";
  ChatUser& user = Online(nickname);
  for (int round = 1; round <= 5; ++round) {
    EXPECT_EQ(1, user.link.Stop());
    ASSERT_EQ(1, user.link.Start(&user.queue, Address(), nickname));
    ASSERT_TRUE(WaitFor(user, "online", round + 1));
    ASSERT_FALSE(user.recorder.Has("gave up 1")) << "round " << round;
  }
  EXPECT_NE(std::string::npos, server->Execute("who").find("  表示 "));
}

TEST_F(Login, StopWhileLoggingInLeavesNoNicknameBehindOnTheServer) {
  StartServer();
  users.push_back(std::make_unique<ChatUser>());
  ChatUser& user = *users.back();
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(1, user.link.Start(&user.queue, Address(), "frank"));
    // Stopped at whatever point the worker has reached.
    EXPECT_EQ(1, user.link.Stop());
    EXPECT_EQ(0, user.link.IsRunning());
  }
  user.recorder.Clear();
  ASSERT_EQ(1, user.link.Start(&user.queue, Address(), "frank"));
  ASSERT_TRUE(WaitFor(user, "online"));
  EXPECT_FALSE(user.recorder.Has("white ログイン失敗\r\n"));
}

TEST_F(Login, HostNameAddressWithASecondFieldGoesOnline) {
  StartServer();
  users.push_back(std::make_unique<ChatUser>());
  ChatUser& user = *users.back();
  // A name, not a dotted address: the connect that waits with a time-out.
  const std::string address = "localhost:" + std::to_string(server->Port()) + "@away";
  ASSERT_EQ(1, user.link.Start(&user.queue, address, "gina"));
  ASSERT_TRUE(WaitFor(user, "online"));
  EXPECT_NE(std::string::npos, server->Execute("who").find("  gina "));
}

TEST_F(Login, StoppedServerGivesUpAfterFourConnectFailures) {
  StartServer();
  const std::string port = std::to_string(server->Port());
  server->Stop();
  // By address and by name: each attempt fails at once, not after the
  // connect's 10-second limit.
  for (const std::string host : {"127.0.0.1", "localhost"}) {
    users.push_back(std::make_unique<ChatUser>());
    ChatUser& user = *users.back();
    ASSERT_EQ(1, user.link.Start(&user.queue, host + ":" + port, "carol"));
    ASSERT_TRUE(WaitFor(user, "gave up 1")) << host;
    EXPECT_EQ((Strings{"connecting", "white Connect 失敗\r\n", "white Connect 失敗\r\n",
                       "white Connect 失敗\r\n", "white Connect 失敗\r\n", "gave up 1"}),
              user.recorder.Transcript())
        << host;
  }
}

TEST_F(Login, ServerStoppingUnderAnOnlineLinkEndsInOffline) {
  StartServer();
  ChatUser& user = Online("dave");
  Join(user, "lobby");
  server->Stop();
  ASSERT_TRUE(WaitFor(user, "offline"));
  EXPECT_EQ("offline", user.recorder.Transcript().back());
  EXPECT_EQ(0, user.link.IsOnline());
  EXPECT_EQ(0, user.link.IsRunning());
  // Nothing left to stop.
  EXPECT_EQ(0, user.link.Stop());
}

}  // namespace
