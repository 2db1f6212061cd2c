// Channels: the list, joining with its full answer, chat and action fan-out,
// leaving and disconnecting.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_client.h"

namespace orla_server {
namespace {

class ChannelTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    m_config.channels = {{"lobby", "Welcome all"}, {"雑談", "日本語 で どうぞ"}, {"quiet", ""}};
  }

  // Logs in and joins, reading the join answer up to the last 408 or 410.
  std::unique_ptr<TestClient> Member(const std::string& nick, const std::string& channel) {
    auto client = LoggedIn(nick);
    client->Send(400, channel);
    client->Until(405);
    while (true) {
      Frame frame = client->Next(300);
      if (frame.type != 408) {
        EXPECT_TRUE(frame.type == 410 || frame.payload == "timeout") << frame;
        break;
      }
    }
    return client;
  }

  std::vector<Frame> ChannelList(TestClient& client) {
    client.Send(617, "");
    std::vector<Frame> list;
    // The first entry may take long; the others come with it.
    for (Frame frame = client.Next(); frame.type == 618; frame = client.Next(500)) {
      list.push_back(frame);
    }
    std::sort(list.begin(), list.end(),
              [](const Frame& a, const Frame& b) { return a.payload < b.payload; });
    return list;
  }
};

TEST_F(ChannelTest, ListGivesEveryChannelWithUserCountAndTopic) {
  StartServer();
  auto a = Member("A", "lobby");
  auto b = Member("B", "lobby");
  EXPECT_EQ(ChannelList(*b),
            (std::vector<Frame>{
                {618, "lobby 2 Welcome all"}, {618, "quiet 0"}, {618, "雑談 0 日本語 で どうぞ"}}));
}

TEST_F(ChannelTest, JoinAnswersJoinerWithListAndTopicAndTellsTheOthers) {
  StartServer();
  auto a = LoggedIn("A");
  a->Send(400, "lobby");
  EXPECT_EQ(a->Next(), (Frame{405, "lobby"}));
  EXPECT_EQ(a->Next(), (Frame{408, "lobby A 0 8"}));
  EXPECT_EQ(a->Next(), (Frame{410, "lobby Welcome all"}));

  auto b = LoggedIn("B");
  b->Send(400, "lobby");
  EXPECT_EQ(b->Next(), (Frame{405, "lobby"}));
  EXPECT_EQ(b->Next(), (Frame{408, "lobby A 0 8"}));
  EXPECT_EQ(b->Next(), (Frame{408, "lobby B 0 8"}));
  EXPECT_EQ(b->Next(), (Frame{410, "lobby Welcome all"}));
  EXPECT_EQ(a->Next(), (Frame{406, "lobby B 0 8"}));

  // Joining again repeats the answer (the client brings its page forward)
  // without announcing B a second time.
  b->Send(400, "lobby");
  EXPECT_EQ(b->Next(), (Frame{405, "lobby"}));
  EXPECT_EQ(b->Until(410).size(), 3u);
  EXPECT_TRUE(a->Quiet());
}

TEST_F(ChannelTest, JoiningAnUnknownChannelCreatesItUntilItsLastMemberLeaves) {
  StartServer();
  auto a = LoggedIn("A");
  a->Send(400, "新しい部屋");
  EXPECT_EQ(a->Next(), (Frame{405, "新しい部屋"}));
  EXPECT_EQ(a->Next(), (Frame{408, "新しい部屋 A 0 8"}));
  EXPECT_TRUE(a->Quiet());  // no topic, so no 410
  EXPECT_EQ(ChannelList(*a).back(), (Frame{618, "新しい部屋 1"}));

  a->Send(401, "新しい部屋");
  EXPECT_EQ(ChannelList(*a).size(), 3u);
}

TEST_F(ChannelTest, AConfiguredChannelKeepsItsTopicAfterItsLastMemberLeaves) {
  StartServer();
  auto a = Member("A", "lobby");
  a->Send(401, "lobby");
  EXPECT_EQ(ChannelList(*a),
            (std::vector<Frame>{
                {618, "lobby 0 Welcome all"}, {618, "quiet 0"}, {618, "雑談 0 日本語 で どうぞ"}}));
}

TEST_F(ChannelTest, JoinsThatCannotBeHonouredAreIgnored) {
  StartServer();
  auto a = LoggedIn("A");
  for (const std::string& name : {std::string(), std::string("two words"), std::string(65, 'c')}) {
    a->Send(400, name);
  }
  EXPECT_TRUE(a->Quiet());
  EXPECT_EQ(ChannelList(*a).size(), 3u);

  // One user's channels are bounded, so a client cannot create them forever.
  for (int i = 0; i < 100; ++i) {
    a->Send(400, "c" + std::to_string(i));
    ASSERT_EQ(a->Until(408).front(), (Frame{405, "c" + std::to_string(i)}));
  }
  a->Send(400, "one-too-many");
  a->Send(400, "c0");  // a channel already joined still answers
  EXPECT_EQ(a->Next(), (Frame{405, "c0"}));
}

TEST_F(ChannelTest, ChannelNamesOfTheLongestLengthAreJoined) {
  StartServer();
  auto a = LoggedIn("A");
  std::string wide;
  while (wide.size() < 64) wide += "部";
  for (const std::string& name : {std::string(64, 'c'), wide}) {
    SCOPED_TRACE(name);
    a->Send(400, name);
    EXPECT_EQ(a->Next(), (Frame{405, name}));
    EXPECT_EQ(a->Next(), (Frame{408, name + " A 0 8"}));
  }
}

TEST_F(ChannelTest, ChatReachesEveryMemberOnlyOfThatChannelSenderIncluded) {
  StartServer();
  auto a = Member("A", "lobby");
  auto b = Member("B", "lobby");
  auto c = Member("C", "雑談");
  a->Until(406);

  a->Send(402, "lobby hello  there ");
  EXPECT_EQ(a->Next(), (Frame{403, "lobby A hello  there "}));
  EXPECT_EQ(b->Next(), (Frame{403, "lobby A hello  there "}));
  c->Send(402, "雑談 こんにちは");
  EXPECT_EQ(c->Next(), (Frame{403, "雑談 C こんにちは"}));
  EXPECT_TRUE(a->Quiet());
  EXPECT_TRUE(b->Quiet());

  // A channel one has not joined takes nothing from one.
  c->Send(402, "lobby not a member");
  EXPECT_TRUE(a->Quiet());
  EXPECT_TRUE(c->Quiet());
}

TEST_F(ChannelTest, ActionReachesEveryMemberWithNickAndQuotes) {
  StartServer();
  auto a = Member("A", "lobby");
  auto b = Member("B", "lobby");
  a->Until(406);
  b->Send(824, "lobby \"waves at everyone\"");
  EXPECT_EQ(a->Next(), (Frame{824, "lobby B \"waves at everyone\""}));
  EXPECT_EQ(b->Next(), (Frame{824, "lobby B \"waves at everyone\""}));
}

TEST_F(ChannelTest, ActionsWithAMissingQuoteAreQuotedOnceOnTheWayOut) {
  StartServer();
  auto a = Member("A", "lobby");
  auto b = Member("B", "lobby");
  a->Until(406);
  const std::pair<const char*, const char*> cases[] = {
      {"lobby \"waves", "lobby B \"waves\""},         {"lobby waves\"", "lobby B \"waves\""},
      {"lobby waves", "lobby B \"waves\""},           {"lobby \"", "lobby B \"\""},
      {"lobby \"say \"hi\"", "lobby B \"say \"hi\""},
  };
  for (const auto& [sent, shown] : cases) {
    SCOPED_TRACE(sent);
    b->Send(824, sent);
    EXPECT_EQ(a->Next(), (Frame{824, shown}));
    EXPECT_EQ(b->Next(), (Frame{824, shown}));
  }
}

TEST_F(ChannelTest, ChatAndActionWithoutTextReachTheChannelEmpty) {
  StartServer();
  auto a = Member("A", "lobby");
  auto b = Member("B", "lobby");
  a->Until(406);
  b->Send(402, "lobby");
  EXPECT_EQ(a->Next(), (Frame{403, "lobby B "}));
  b->Send(824, "lobby");
  EXPECT_EQ(a->Next(), (Frame{824, "lobby B \"\""}));
}

TEST_F(ChannelTest, OverlongChatIsCutWholeCharactersFirst) {
  StartServer();
  auto a = Member("LongName", "lobby");
  std::string text;
  while (text.size() < 1010) text += "あ";
  a->Send(402, "lobby " + text);
  Frame frame = a->Next();
  ASSERT_EQ(frame.type, 403);
  EXPECT_LE(frame.payload.size(), 1023u);
  std::string prefix = "lobby LongName ";
  ASSERT_EQ(frame.payload.compare(0, prefix.size(), prefix), 0);
  std::string body = frame.payload.substr(prefix.size());
  EXPECT_GE(body.size(), 1000u);
  EXPECT_EQ(body.size() % 2, 0u);
  EXPECT_EQ(body, text.substr(0, body.size()));

  a->Send(824, "lobby \"" + text + "\"");
  frame = a->Next();
  EXPECT_LE(frame.payload.size(), 1023u);
  EXPECT_EQ(frame.payload.back(), '"');
}

TEST_F(ChannelTest, ActionFillingAWholeFrameArrivesWholeAndOneByteMoreIsCut) {
  StartServer();
  auto a = Member("B", "lobby");
  // "lobby B \"" and the closing quote leave 1013 bytes of text in 1023.
  const std::string fits(1013, 'x');
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {{fits, fits}, {fits + "y", fits}, {fits.substr(1) + "あ", fits.substr(1)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.size());
    a->Send(824, "lobby \"" + c.text + "\"");
    EXPECT_EQ(a->Next(), (Frame{824, "lobby B \"" + c.shown + "\""}));
  }
}

TEST_F(ChannelTest, LeavingTellsTheRestAndStopsDelivery) {
  StartServer();
  auto a = Member("A", "lobby");
  auto b = Member("B", "lobby");
  a->Until(406);
  b->Send(401, "lobby");
  EXPECT_EQ(a->Next(), (Frame{407, "lobby B 0 8"}));
  EXPECT_TRUE(b->Quiet());
  a->Send(402, "lobby anyone?");
  EXPECT_EQ(a->Next(), (Frame{403, "lobby A anyone?"}));
  EXPECT_TRUE(b->Quiet());
  // Leaving a channel one is not in changes nothing.
  b->Send(401, "lobby");
  EXPECT_TRUE(a->Quiet());
}

TEST_F(ChannelTest, RequestsNamingTheStartOfAJoinedChannelLeaveItAlone) {
  StartServer();
  auto a = Member("A", "bobby");
  auto b = Member("B", "bobby");
  a->Until(406);
  const std::pair<std::uint16_t, const char*> requests[] = {
      {401, "bob"}, {402, "bob hi"}, {824, "bob \"hi\""}, {401, "bobb"}};
  for (const auto& [type, payload] : requests) {
    SCOPED_TRACE(payload);
    a->Send(type, payload);
    EXPECT_TRUE(a->Quiet());
    EXPECT_TRUE(b->Quiet());
  }
  a->Send(402, "bobby still here");
  EXPECT_EQ(b->Next(), (Frame{403, "bobby A still here"}));
}

TEST_F(ChannelTest, DisconnectLeavesEveryChannel) {
  StartServer();
  auto a = Member("A", "lobby");
  auto c = Member("C", "雑談");
  auto b = Member("B", "lobby");
  b->Send(400, "雑談");
  b->Until(410);
  a->Until(406);
  c->Until(406);
  b.reset();
  EXPECT_EQ(a->Next(), (Frame{407, "lobby B 0 8"}));
  EXPECT_EQ(c->Next(), (Frame{407, "雑談 B 0 8"}));
}

}  // namespace
}  // namespace orla_server
