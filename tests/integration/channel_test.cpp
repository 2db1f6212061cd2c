// Channels between two real links through the real server: the channel
// list, joining, chat and action lines as the channel page sends them, the
// cut of a long Japanese line, and leaving by request or by going offline;
// and what passes between the two users alone.
#include <string>
#include <vector>

#include "integration_fixture.h"
#include "link/frame.h"
#include "link/message_catalogue.h"

namespace {

class Channels : public IntegrationTest {
 protected:
  void SetUp() override {
    config.motd = {"welcome"};
    config.channels = {{"lobby", "Welcome all"}, {"雑談", "日本語 で どうぞ"}, {"quiet", ""}};
    StartServer();
  }

  // Both users in the lobby, every join answer received.
  void BothInLobby() {
    Join(alice(), "lobby");
    Join(bob(), "lobby");
    ASSERT_TRUE(WaitForType(alice(), MsgUserEntered));
  }

  // Waits until both users have count messages of the type.
  void WaitBoth(unsigned type, std::size_t count = 1) {
    EXPECT_TRUE(WaitForType(alice(), type, count));
    EXPECT_TRUE(WaitForType(bob(), type, count));
  }

  ChatUser& alice() { return UserAt(0, "alice"); }
  ChatUser& bob() { return UserAt(1, "bob"); }

 private:
  ChatUser& UserAt(std::size_t index, const char* nickname) {
    while (users.size() <= index) Online(users.empty() ? "alice" : "bob");
    EXPECT_EQ(nickname, users[index]->nickname);
    return *users[index];
  }
};

TEST_F(Channels, ListRequestFromTheUserInterfaceGivesEveryChannelAsRows) {
  Join(alice(), "lobby");
  ASSERT_EQ(1, SendFrame(&bob().link, MsgChannelListRequest, ""));
  ASSERT_TRUE(WaitForType(bob(), MsgChannelListEntry, 3));
  const std::vector<SeenMessage> rows = bob().Seen(MsgChannelListEntry);
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ("lobby", rows[0].channel);
  EXPECT_EQ("1", rows[0].nick);
  EXPECT_EQ("Welcome all", rows[0].text);
  EXPECT_EQ("quiet", rows[1].channel);
  EXPECT_EQ("0", rows[1].nick);
  EXPECT_EQ("", rows[1].text);
  EXPECT_EQ("雑談", rows[2].channel);
  EXPECT_EQ("0", rows[2].nick);
  EXPECT_EQ("日本語 で どうぞ", rows[2].text);
}

TEST_F(Channels, JoinGivesThePageItsMembersAndTopicAndAnnouncesTheNewcomer) {
  Join(alice(), "雑談");
  Join(bob(), "雑談");
  ASSERT_TRUE(WaitForType(bob(), MsgTopic));
  ASSERT_TRUE(WaitForType(alice(), MsgUserEntered));

  // The page opens on a 405 naming exactly its channel.
  ASSERT_EQ(1u, bob().Seen(MsgJoined).size());
  EXPECT_TRUE(IsChannelExact(bob().Seen(MsgJoined)[0].payload.c_str(), "雑談"));
  // Every member as a row, the joiner last, with the speed of the login line.
  const std::vector<SeenMessage> rows = bob().Seen(MsgUserListEntry);
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ("alice", rows[0].nick);
  EXPECT_EQ("bob", rows[1].nick);
  for (const SeenMessage& row : rows) {
    EXPECT_TRUE(IsChannelPrefix(row.payload.c_str(), "雑談"));
    EXPECT_EQ(0u, row.files);
    EXPECT_STREQ("DSL", SpeedName(row.speed));
  }
  EXPECT_EQ("日本語 で どうぞ", bob().Seen(MsgTopic)[0].text);

  const std::vector<SeenMessage> entered = alice().Seen(MsgUserEntered);
  ASSERT_EQ(1u, entered.size());
  EXPECT_EQ("雑談", entered[0].channel);
  EXPECT_EQ("bob", entered[0].nick);
  EXPECT_STREQ("DSL", SpeedName(entered[0].speed));
}

TEST_F(Channels, ChatAndActionLinesReachEveryMemberWithTheSpeakersNick) {
  BothInLobby();
  ASSERT_TRUE(alice().Type("lobby", "こんにちは  world 100%s"));
  WaitBoth(MsgChannelText);
  for (ChatUser* user : {&alice(), &bob()}) {
    const SeenMessage line = user->Seen(MsgChannelText).at(0);
    EXPECT_TRUE(IsChannelPrefix(line.payload.c_str(), "lobby"));
    EXPECT_EQ("alice", line.nick);
    EXPECT_EQ("こんにちは  world 100%s", line.text);
  }

  ASSERT_TRUE(bob().Type("lobby", "/ME waves \"hi\""));
  WaitBoth(MsgAction);
  for (ChatUser* user : {&alice(), &bob()}) {
    const SeenMessage action = user->Seen(MsgAction).at(0);
    EXPECT_EQ("bob", action.nick);
    EXPECT_EQ("waves \"hi\"", action.text);
  }
  // The action did not also go out as chat.
  EXPECT_EQ(1u, alice().Seen(MsgChannelText).size());
}

TEST_F(Channels, LongJapaneseLineArrivesCutToWholeCharactersWithin500Bytes) {
  BothInLobby();
  // 600 bytes; byte 500 would be the second half of a double-byte character.
  std::string line = "a";
  for (int i = 0; i < 299; ++i) line += "あ";
  line += "b";
  ASSERT_EQ(600u, line.size());
  ASSERT_TRUE(alice().Type("lobby", line));
  WaitBoth(MsgChannelText);
  std::string expected = "a";
  for (int i = 0; i < 249; ++i) expected += "あ";
  EXPECT_EQ(expected, bob().Seen(MsgChannelText).at(0).text);
  EXPECT_EQ(expected, alice().Seen(MsgChannelText).at(0).text);
}

TEST_F(Channels, LongestActionArrivesCutByTheServerToWholeCharactersInsideItsQuotes) {
  BothInLobby();
  std::string text = "x";
  for (int i = 0; i < 600; ++i) text += "あ";
  ASSERT_TRUE(alice().Type("lobby", "/me " + text));
  WaitBoth(MsgAction);
  // The client's own cut makes "lobby \"<text>\"" fill a frame; the server
  // then needs room for the nick and cuts again, keeping the closing quote.
  const SeenMessage action = bob().Seen(MsgAction).at(0);
  EXPECT_LE(action.payload.size(), static_cast<std::size_t>(kMaxReceivePayload));
  EXPECT_EQ('"', action.payload.back());
  std::string expected = "x";
  while (expected.size() + 2 <= kMaxReceivePayload - std::string("lobby alice \"\"").size())
    expected += "あ";
  EXPECT_EQ(expected, action.text);
  EXPECT_EQ(expected, alice().Seen(MsgAction).at(0).text);
}

TEST_F(Channels, LeavingOrGoingOfflineIsShownToTheOthers) {
  BothInLobby();
  ChatUser& carol = Online("carol");
  Join(carol, "lobby");
  ASSERT_TRUE(WaitForType(bob(), MsgUserEntered));

  ASSERT_EQ(1, SendFrame(&alice().link, MsgLeave, "%s", "lobby"));
  ASSERT_TRUE(WaitForType(bob(), MsgUserLeft));
  ASSERT_TRUE(WaitForType(carol, MsgUserLeft));
  EXPECT_EQ("alice", bob().Seen(MsgUserLeft)[0].nick);
  EXPECT_TRUE(IsChannelPrefix(bob().Seen(MsgUserLeft)[0].payload.c_str(), "lobby"));
  // The one who left no longer gets the channel's lines.
  ASSERT_TRUE(carol.Type("lobby", "still here"));
  ASSERT_TRUE(WaitForType(bob(), MsgChannelText));
  // A line for alice would come before the answer to her later request.
  ASSERT_EQ(1, SendFrame(&alice().link, MsgChannelListRequest, ""));
  ASSERT_TRUE(WaitForType(alice(), MsgChannelListEntry, 3));
  EXPECT_TRUE(alice().Seen(MsgChannelText).empty());

  EXPECT_EQ(1, carol.link.Stop());
  EXPECT_EQ("offline", carol.recorder.Transcript().back());
  ASSERT_TRUE(WaitForType(bob(), MsgUserLeft, 2));
  EXPECT_EQ("carol", bob().Seen(MsgUserLeft)[1].nick);
  EXPECT_EQ(1, bob().link.IsOnline());
}

TEST_F(Channels, PrivateLinesUserInformationAndPingsPassBetweenTwoLinks) {
  Join(alice(), "lobby");
  ChatUser& b = bob();
  // bob answers a ping within its delivery, as the client does.
  b.recorder.onMessage = [&b, seen = b.recorder.onMessage](const MessageRecord& record) {
    EXPECT_EQ(1, record.type == MsgUserPing ? SendPingReply(&b.link, record) : 1);
    return seen(record);
  };
  OutgoingLine line;
  ASSERT_TRUE(PreparePrivateLine("bob", "こんにちは bob", &line));
  ASSERT_EQ(1, SendInputLine(&alice().link, "bob", line));
  ASSERT_TRUE(WaitForType(b, MsgPrivateMessage));
  EXPECT_EQ("alice こんにちは bob", b.Seen(MsgPrivateMessage)[0].payload);
  ASSERT_EQ(1, SendUserInfoRequest(&b.link, "alice"));
  ASSERT_TRUE(WaitForType(b, MsgUserInfo));
  EXPECT_EQ(0u, b.Seen(MsgUserInfo)[0].payload.find("alice \"User\" "));
  // The longest ping alice can send reaches bob longer than he can send: cut.
  const std::string rest(kMaxSendPayload - 4, 'p');
  ASSERT_EQ(1, SendFrame(&alice().link, MsgUserPing, "bob %s", rest.c_str()));
  ASSERT_TRUE(WaitForType(alice(), MsgUserPingReply));
  EXPECT_EQ("bob " + rest.substr(0, kMaxSendPayload - 6),
            alice().Seen(MsgUserPingReply)[0].payload);
  EXPECT_EQ(0u, alice().SeenCount(MsgPrivateMessage));  // one's own line is not echoed
}

}  // namespace
