// What the server's operator does, as the members' pages receive it: a
// notice, a new topic, a kick and the closing of a channel.
#include <string>
#include <vector>

#include "integration_fixture.h"
#include "link/frame.h"
#include "link/message_catalogue.h"

namespace {

class OperatorActions : public IntegrationTest {
 protected:
  void SetUp() override {
    config.motd = {"welcome"};
    StartServer();
    alice = &Online("alice");
    bob = &Online("bob");
    Join(*alice, "会議室");
    Join(*bob, "会議室");
    EXPECT_TRUE(WaitForType(*alice, MsgUserEntered));
  }

  ChatUser* alice = nullptr;
  ChatUser* bob = nullptr;
};

TEST_F(OperatorActions, NoticeAndTopicReachEveryMember) {
  EXPECT_EQ("notice sent\n", server->Execute("notice 会議室 午後 3 時に 再起動します"));
  EXPECT_EQ("topic set\n", server->Execute("topic 会議室 新しい 話題"));
  for (ChatUser* user : {alice, bob}) {
    ASSERT_TRUE(WaitForType(*user, MsgTopic));
    const SeenMessage notice = user->Seen(MsgChannelNotice).at(0);
    EXPECT_TRUE(IsChannelPrefix(notice.payload.c_str(), "会議室"));
    EXPECT_EQ("午後 3 時に 再起動します", notice.text);
    const SeenMessage topic = user->Seen(MsgTopic).at(0);
    EXPECT_EQ("会議室", topic.channel);
    EXPECT_EQ("新しい 話題", topic.text);
  }
  // A later joiner gets the new topic with the member list.
  ChatUser& carol = Online("carol");
  Join(carol, "会議室");
  ASSERT_TRUE(WaitForType(carol, MsgTopic));
  EXPECT_EQ("新しい 話題", carol.Seen(MsgTopic)[0].text);
}

TEST_F(OperatorActions, OverlongNoticeArrivesCutToWholeCharactersAndKeepsEveryoneOnline) {
  std::string text;
  for (int i = 0; i < 700; ++i) text += "お";
  EXPECT_EQ("notice sent\n", server->Execute("notice 会議室 " + text));
  for (ChatUser* user : {alice, bob}) {
    ASSERT_TRUE(WaitForType(*user, MsgChannelNotice));
    const SeenMessage notice = user->Seen(MsgChannelNotice).at(0);
    EXPECT_LE(notice.payload.size(), static_cast<std::size_t>(kMaxReceivePayload));
    // "会議室 " takes 7 bytes; the rest is whole characters of the notice.
    EXPECT_EQ(text.substr(0, (kMaxReceivePayload - 7) / 2 * 2), notice.text);
  }
  // Both links still read what follows.
  EXPECT_EQ("topic set\n", server->Execute("topic 会議室 after"));
  EXPECT_TRUE(WaitForType(*alice, MsgTopic));
  EXPECT_TRUE(WaitForType(*bob, MsgTopic));
  EXPECT_FALSE(alice->recorder.Has("offline"));
}

TEST_F(OperatorActions, KickedUserGetsALeaveForExactlyTheChannelAndTheOthersSeeItLeave) {
  EXPECT_EQ("kicked\n", server->Execute("kick 会議室 bob"));
  ASSERT_TRUE(WaitForType(*bob, MsgLeave));
  ASSERT_TRUE(WaitForType(*alice, MsgUserLeft));
  const SeenMessage leave = bob->Seen(MsgLeave).at(0);
  EXPECT_EQ("会議室", leave.payload);
  EXPECT_TRUE(IsChannelExact(leave.payload.c_str(), "会議室"));
  EXPECT_EQ("bob", alice->Seen(MsgUserLeft).at(0).nick);
  EXPECT_TRUE(alice->Seen(MsgLeave).empty());
  // Kicked out of the channel, not off the server: bob can come back.
  EXPECT_EQ(1, bob->link.IsOnline());
  Join(*bob, "会議室");
  ASSERT_TRUE(WaitForType(*alice, MsgUserEntered, 2));
}

TEST_F(OperatorActions, ClosingAChannelSendsEveryMemberItsLeaveAndRemovesIt) {
  EXPECT_EQ("channel closed\n", server->Execute("close 会議室"));
  for (ChatUser* user : {alice, bob}) {
    ASSERT_TRUE(WaitForType(*user, MsgLeave));
    EXPECT_TRUE(IsChannelExact(user->Seen(MsgLeave).at(0).payload.c_str(), "会議室"));
    EXPECT_EQ(1, user->link.IsOnline());
  }
  // The list no longer has it: the rows come before the answer to a join
  // sent after the request.
  Join(*alice, "別室");
  ASSERT_EQ(1, SendFrame(&alice->link, MsgChannelListRequest, ""));
  ASSERT_EQ(1, SendFrame(&alice->link, MsgJoin, "%s", "別室"));
  ASSERT_TRUE(WaitForType(*alice, MsgJoined, 3));
  const std::vector<SeenMessage> rows = alice->Seen(MsgChannelListEntry);
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ("別室", rows[0].channel);
  EXPECT_EQ("1", rows[0].nick);
}

}  // namespace
