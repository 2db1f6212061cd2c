// Logging in: acceptance with the message of the day, and every refusal.
#include <string>

#include "tests/support/test_client.h"

namespace orla_server {
namespace {

class LoginTest : public ServerTest {};

TEST_F(LoginTest, AcceptedLoginGetsNickThenEveryMotdLineInOrder) {
  m_config.motd = {"first line", "二行目です"};
  StartServer();
  auto client = Connect();
  client->Send(2, "Nanashi quiet 0 \"Velmo v1.0\" 8");
  EXPECT_EQ(client->Next(), (Frame{3, "Nanashi"}));
  EXPECT_EQ(client->Next(), (Frame{621, "first line"}));
  EXPECT_EQ(client->Next(), (Frame{621, "二行目です"}));
  EXPECT_TRUE(client->Quiet());
}

TEST_F(LoginTest, BadNicknamesAreRefusedWithReasonAndClosed) {
  StartServer();
  struct Case {
    const char* what;
    std::string line;
    std::string reason;
  };
  const Case cases[] = {
      {"empty", " quiet 0 \"Velmo v1.0\" 8", "nickname is empty"},
      {"33 bytes", std::string(33, 'n') + " quiet 0 \"Velmo v1.0\" 8",
       "nickname is longer than 32 bytes"},
      {"17 double-byte characters",
       std::string("あいうえおかきくけこさしすせそたち") + " quiet 0 \"Velmo v1.0\" 8",
       "nickname is longer than 32 bytes"},
      {"space", "two words quiet 0 \"Velmo v1.0\" 8", "nickname has a space"},
      {"control byte", std::string("a\x01z quiet 0 \"Velmo v1.0\" 8"),
       "nickname has a control character"},
      {"no client field", "Nanashi", "malformed login line"},
      {"empty payload", "", "malformed login line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto client = Connect();
    client->Send(2, c.line);
    EXPECT_EQ(client->Next(), (Frame{4, c.reason}));
    EXPECT_TRUE(client->WaitClosed());
    // A reset could throw the refusal away before the client has read it.
    EXPECT_TRUE(client->ClosedInOrder());
  }
}

TEST_F(LoginTest, LongestNicknamesAreAccepted) {
  StartServer();
  auto ascii = LoggedIn(std::string(32, 'n'));
  auto japanese = LoggedIn("あいうえおかきくけこさしすせそた");  // 16 characters, 32 bytes
  EXPECT_FALSE(ascii->WaitClosed(100));
  EXPECT_FALSE(japanese->WaitClosed(100));
}

TEST_F(LoginTest, NicknameInUseIsRefusedUntilItsOwnerLeaves) {
  StartServer();
  auto owner = LoggedIn("Taro");
  owner->Send(400, "lobby");
  owner->Until(408);

  auto second = Connect();
  second->Send(2, "Taro quiet 0 \"Other 2.0\" 3");
  EXPECT_EQ(second->Next(), (Frame{4, "nickname is already online"}));
  EXPECT_TRUE(second->WaitClosed());

  // The owner was not disturbed, and after it goes the name is free.
  owner->Send(402, "lobby still here");
  EXPECT_EQ(owner->Next(), (Frame{403, "lobby Taro still here"}));
  owner.reset();
  WaitUntilOffline("Taro");
  auto third = LoggedIn("Taro");
  third->Send(617, "");
  EXPECT_TRUE(third->Quiet());  // lobby emptied and went away with its owner
}

// The speed after the client name: its leading digits (no white space or
// sign taken), kept to 32 bits; the others in a channel see it.
TEST_F(LoginTest, SpeedIsTheLeadingDigitsAndReachesChannelMembers) {
  m_config.channels = {{"lobby", ""}};
  StartServer();
  auto watcher = LoggedIn("watcher");
  watcher->Send(400, "lobby");
  watcher->Until(405);
  EXPECT_EQ(watcher->Next().payload, "lobby watcher 0 8");
  struct Case {
    const char* tail;  // after the quoted client name
    const char* speed;
  };
  const Case cases[] = {
      {" 8", "8"},  {" 12abc", "12"}, {"  8", "0"},         {" -3", "0"},
      {" +3", "0"}, {"", "0"},        {" 4294967297", "1"}, {" 007", "7"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("tail \"") + c.tail + "\"");
    const std::string nick = "s" + std::to_string(n++);
    auto client = Connect();
    client->Send(2, nick + " quiet 0 \"Velmo v1.0\"" + c.tail);
    EXPECT_EQ(client->Next().type, 3);
    client->Send(400, "lobby");
    EXPECT_TRUE(watcher->WaitFor(Frame{406, "lobby " + nick + " 0 " + c.speed}));
  }
}

}  // namespace
}  // namespace orla_server
