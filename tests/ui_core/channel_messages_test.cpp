// The channel message table: one row per message type a channel page takes,
// payload in, console pieces, user-list change and topic out; every row of
// the table has its test row here.
#include "ui/core/channel_messages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

struct Piece {
  std::string text;
  LogColour colour;
};

struct Case {
  const char* name;
  unsigned type;
  std::string payload;
  bool taken;
  std::vector<Piece> pieces;
  std::string list;   // "" none, "+nick|files|speed" add, "-nick" remove, "*" empty
  std::string topic;  // "" when the topic does not change
};

const LogColour kWhite = Rgb(255, 255, 255);
const LogColour kMagenta = Rgb(255, 0, 255);

const std::vector<Case> kCases = {
    {"leave",
     401,
     "#c",
     true,
     {{"\r\nサーバーから切断されました！\r\n\r\n", Rgb(0, 255, 255)}},
     "",
     ""},
    {"chat",
     403,
     "#c alice hello  there",
     true,
     {{"<alice> ", Rgb(255, 255, 0)}, {"hello  there\r\n", kWhite}},
     "",
     ""},
    {"user entered",
     406,
     "#c bob 70000 8",
     true,
     {{"bob (DSL 4464 files) has entered\r\n", Rgb(128, 255, 0)}},
     "+bob|4464|8",
     ""},
    {"user left", 407, "#c bob 1 2", true, {{"bob has left\r\n", Rgb(255, 128, 128)}}, "-bob", ""},
    {"user list entry", 408, "#c amy 3 12", true, {}, "+amy|3|12", ""},
    {"topic",
     410,
     "#c new  topic",
     true,
     {{"Topic: new  topic\r\n", Rgb(0, 0, 255)}},
     "",
     "#c\r\nnew  topic"},
    {"notice", 425, "#c server says hi", true, {{"\r\nserver says hi\r\n\r\n", kWhite}}, "", ""},
    {"action",
     824,
     "#c bob \"waves\"",
     true,
     {{"bob ", kMagenta}, {"waves\r\n", kMagenta}},
     "",
     ""},
    {"joined", 405, "#c", true, {}, "*", ""},
    // Not the page's: another channel, a leave with more than the name, a
    // type no channel page takes.
    {"other channel", 403, "#cat alice hi", false, {}, "", ""},
    {"leave of a longer text", 401, "#c x", false, {}, "", ""},
    {"channel list entry", 618, "#c 3 topic", false, {}, "", ""},
};

std::string ListChange(const ChannelMessageEffect& e) {
  switch (e.listChange) {
    case UserListChange::kAdd:
      return "+" + std::string(e.nick) + "|" + std::to_string(e.files) + "|" +
             std::to_string(e.speed);
    case UserListChange::kRemove:
      return "-" + std::string(e.nick);
    case UserListChange::kClear:
      return "*";
    case UserListChange::kNone:
      break;
  }
  return "";
}

TEST(ChannelMessages, EachTypeGivesItsPiecesListChangeAndTopic) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const MessageRecord record = {static_cast<std::uint16_t>(c.payload.size()),
                                  static_cast<std::uint16_t>(c.type), c.payload.c_str()};
    ChannelMessageEffect effect;
    ASSERT_EQ(c.taken, ReadChannelMessage(record, "#c", &effect));
    if (!c.taken) continue;
    ASSERT_EQ(c.pieces.size(), static_cast<std::size_t>(effect.pieceCount));
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      EXPECT_EQ(c.pieces[i].text, effect.pieces[i].text) << "piece " << i;
      EXPECT_EQ(c.pieces[i].colour, effect.pieces[i].colour) << "piece " << i;
    }
    EXPECT_EQ(c.list, ListChange(effect));
    EXPECT_EQ(!c.topic.empty(), effect.topicChanged);
    EXPECT_EQ(c.topic, effect.topic);
  }
}

TEST(ChannelMessages, EveryRowOfTheTableHasATestRow) {
  std::set<unsigned> tested;
  for (const Case& c : kCases)
    if (c.taken) tested.insert(c.type);
  for (const ChannelMessageRow& row : AllChannelMessages())
    EXPECT_EQ(1u, tested.count(row.type)) << "type " << row.type << " has no test row";
}

}  // namespace
