// Between two users: private messages, user information and pings reach
// only the user named, or tell the sender why not; a storm of pings is cut.
#include <string>
#include <thread>

#include "link/message_catalogue.h"
#include "server/chat_hub.h"
#include "tests/support/test_client.h"

namespace orla_server {
namespace {

class PrivateTest : public ServerTest {};

TEST_F(PrivateTest, EachRequestReachesOnlyTheUserNamedOrTellsTheSenderWhy) {
  StartServer();
  auto a = LoggedIn("A");
  auto b = LoggedIn("B");
  // A's marker, sent to both after each request, stands for "nothing else".
  const Frame none{205, "A ."};
  const std::string full = "B " + std::string(1021, 'x');
  const struct {
    const char* what;
    std::uint16_t type;
    std::string payload;
    Frame toB, toA;
  } rows[] = {
      {"message, not echoed", 205, "B hello  there ", {205, "A hello  there "}, none},
      {"message without text", 205, "B", none, none},
      {"message filling a frame", 205, full, {205, "A" + full.substr(1)}, none},
      {"message to no one online", 205, "Nobody hi", none, {404, "Nobody is not currently online"}},
      {"control byte", 205, "\x01z hi", none, {404, "nickname has a control character"}},
      {"no name", 603, "", none, {404, "nickname is empty"}},
      {"information on no one", 603, "Nobody", none, {404, "Nobody is not currently online"}},
      {"ping", 751, "B 1234 x", {751, "A 1234 x"}, none},
      {"ping without rest", 751, "B", {751, "A"}, none},
      {"long name", 751, std::string(33, 'n'), none, {404, "nickname is longer than 32 bytes"}},
      {"ping answer", 752, "B 1234", {752, "A 1234"}, none},
      {"answer to a pinger who has gone", 752, "Nobody 1", none, none},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    a->Send(row.type, row.payload);
    a->Send(205, "B .");
    a->Send(205, "A .");
    EXPECT_EQ(b->Next(), row.toB);
    EXPECT_EQ(a->Next(), row.toA);
    EXPECT_TRUE(row.toB == none || b->Next() == none);
    EXPECT_TRUE(row.toA == none || a->Next() == none);
  }
}

TEST_F(PrivateTest, UserInformationReadsBackAsTheClientReadsIt) {
  StartServer();
  auto asker = LoggedIn("Asker");
  auto q = Connect();
  q->Send(2, "Q quiet 0 \"Velmo \"beta\" 2\" 3");
  q->Until(621);
  // More channels than one frame names: whole names only, the client field kept.
  const std::string wide = std::string(62, 'w');
  for (std::string name : {"lobby", "雑談", "a\"b"}) q->Send(400, name);
  for (int i = 10; i < 30; ++i) q->Send(400, std::to_string(i) + wide);
  ASSERT_TRUE(q->WaitFor(Frame{405, "29" + wide}));
  asker->Send(603, "Q");
  const std::string info = asker->Next().payload;
  CPayloadCopy copy(info.data(), info.size());
  const UserInfoFields f = ReadUserInfoFields(copy);
  EXPECT_LT(f.secondsOnline, 60u);
  const std::string channels = f.channels;
  const std::string first = "lobby 雑談 a'b";
  EXPECT_EQ(channels.substr(0, first.size() + 4), first + " 10w");
  EXPECT_EQ((channels.size() - first.size()) % 65, 0u) << channels;  // whole names
  EXPECT_GT(channels.size(), 850u);
  EXPECT_EQ(std::string(f.nick) + f.level + f.status + f.client, "QUserActiveVelmo 'beta' 2");
  EXPECT_EQ(f.speed, 3u);
}

TEST_F(PrivateTest, AStormOfPingsIsCutToABurstAndPingsPassAgainAfterAPause) {
  StartServer();
  auto a = LoggedIn("A");
  auto b = LoggedIn("B");
  for (int i = 0; i < 50; ++i) a->Send(751, "B " + std::to_string(i));
  a->Send(205, "B .");
  for (int i = 0; i < kPingBurst; ++i) EXPECT_EQ(b->Next(), (Frame{751, "A " + std::to_string(i)}));
  EXPECT_EQ(b->Next(), (Frame{205, "A ."}));
  std::this_thread::sleep_for(kPingPeriod + std::chrono::milliseconds(100));
  a->Send(751, "B again");
  EXPECT_EQ(b->Next(), (Frame{751, "A again"}));
  EXPECT_TRUE(a->Quiet());
}

}  // namespace
}  // namespace orla_server
