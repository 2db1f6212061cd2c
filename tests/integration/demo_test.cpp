// The demo cast as a client sees it: simulated users chat, act, change
// topics and come and go at a fast pace, and the member list a channel page
// builds from 408, 406 and 407 must stay what the server has, in the same
// order, with every speaker in it.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "integration_fixture.h"
#include "link/message_catalogue.h"

namespace {

using Members = std::vector<std::string>;
using Pages = std::map<std::string, Members>;

const char* const kDemoChannels[] = {"雑談", "lobby", "anime"};

// The member lists pages build from the first count messages, checking as
// they go what a page would trip over.
Pages Replay(const std::vector<SeenMessage>& seen, std::size_t count) {
  Pages pages;
  for (std::size_t i = 0; i < count; ++i) {
    const SeenMessage& m = seen[i];
    if (m.type != MsgUserListEntry && m.type != MsgUserEntered && m.type != MsgUserLeft &&
        m.type != MsgChannelText && m.type != MsgAction)
      continue;
    Members& members = pages[m.channel];
    const auto at = std::find(members.begin(), members.end(), m.nick);
    switch (m.type) {
      case MsgUserListEntry:
        members.push_back(m.nick);
        break;
      case MsgUserEntered:
        EXPECT_EQ(members.end(), at) << m.payload;
        members.push_back(m.nick);
        break;
      case MsgUserLeft:
        EXPECT_NE(members.end(), at) << m.payload;
        if (at != members.end()) members.erase(at);
        break;
      case MsgChannelText:
      case MsgAction:
        EXPECT_NE(members.end(), at) << m.payload;
        EXPECT_TRUE(IsChannelPrefix(m.payload.c_str(), m.channel.c_str()));
        EXPECT_FALSE(m.text.empty()) << m.payload;
        break;
    }
  }
  return pages;
}

// The members of a channel as the server's console lists them, in order.
Members MembersOnServer(orla_server::Server& server, const std::string& channel) {
  const std::string reply = server.Execute("who " + channel);
  Members members;
  for (std::size_t line = reply.find("\n  "); line != std::string::npos;
       line = reply.find("\n  ", line + 1)) {
    const std::size_t start = line + 3;
    members.push_back(reply.substr(start, reply.find(' ', start) - start));
  }
  return members;
}

Pages AllOnServer(orla_server::Server& server) {
  Pages pages;
  for (const char* channel : kDemoChannels) pages[channel] = MembersOnServer(server, channel);
  return pages;
}

class DemoCast : public IntegrationTest {
 protected:
  void SetUp() override {
    config.motd = {"welcome"};
    config.demo = true;
    config.demoIntervalMs = 4;
    StartServer();
  }
};

TEST_F(DemoCast, PagesKeepTheServersMemberListsWhileTheCastComesAndGoes) {
  ChatUser& viewer = Online("viewer");
  for (const char* channel : kDemoChannels) Join(viewer, channel);
  ASSERT_TRUE(ServeUntil([&] {
    return viewer.SeenCount(MsgUserEntered) + viewer.SeenCount(MsgUserLeft) >= 20 &&
           viewer.SeenCount(MsgAction) >= 5;
  }));

  // A notice marks a point in the link's stream; when the server's lists
  // did not change around it, the pages at that point must equal them.
  bool compared = false;
  for (int round = 0; round < 100 && !compared; ++round) {
    const Pages before = AllOnServer(*server);
    const std::string mark = "mark " + std::to_string(round);
    server->Execute("notice lobby " + mark);
    const Pages after = AllOnServer(*server);
    std::size_t at = 0;
    ASSERT_TRUE(ServeUntil([&] {
      const std::vector<SeenMessage>& all = viewer.All();
      for (at = 0; at < all.size(); ++at)
        if (all[at].type == MsgChannelNotice && all[at].text == mark) return true;
      return false;
    }));
    if (before != after) continue;
    compared = true;
    EXPECT_EQ(before, Replay(viewer.All(), at));
  }
  EXPECT_TRUE(compared);
  Replay(viewer.All(), viewer.All().size());
}

}  // namespace
