// The channel message table and the reading of one message by it. See
// channel_messages.h.
#include "ui/core/channel_messages.h"

#include <cstring>

#include "link/payload.h"
#include "ui/core/colours.h"

namespace {

using Fields = ChannelFieldSet;
using Text = ChannelText;
using Args = PieceArguments;
using List = UserListChange;

const ChannelMessageRow kRows[] = {
    // A join confirmed, also of a page already open (a join again, or after a
    // new connection): the list is rebuilt from the entries that follow.
    {MsgJoined, ChannelTest::kExact, Fields{false, false}, Text::kNone, {}, List::kClear, nullptr,
     false},
    // The server ended our membership of the channel.
    {MsgLeave,
     ChannelTest::kExact,
     Fields{false, false},
     Text::kNone,
     {{"\r\nサーバーから切断されました！\r\n\r\n", Args::kNone, kCyan}},
     List::kNone,
     nullptr,
     false},
    {MsgChannelText,
     ChannelTest::kPrefix,
     Fields{true, false},
     Text::kRest,
     {{"<%s> ", Args::kNick, kNickYellow}, {"%s\r\n", Args::kText, kWhite}},
     List::kNone,
     nullptr,
     true},
    {MsgUserEntered,
     ChannelTest::kPrefix,
     Fields{true, true},
     Text::kNone,
     {{"%s (%s %u files) has entered\r\n", Args::kNickSpeedFiles, kEnteredGreen}},
     List::kAdd,
     nullptr,
     false},
    // Both numbers are read and not shown.
    {MsgUserLeft,
     ChannelTest::kPrefix,
     Fields{true, true},
     Text::kNone,
     {{"%s has left\r\n", Args::kNick, kLeftPink}},
     List::kRemove,
     nullptr,
     false},
    // The members already there when the page opened: rows only.
    {MsgUserListEntry,
     ChannelTest::kPrefix,
     Fields{true, true},
     Text::kNone,
     {},
     List::kAdd,
     nullptr,
     false},
    {MsgTopic,
     ChannelTest::kPrefix,
     Fields{false, false},
     Text::kRest,
     {{"Topic: %s\r\n", Args::kText, kTopicBlue}},
     List::kNone,
     "%s\r\n%s",
     false},
    {MsgChannelNotice,
     ChannelTest::kPrefix,
     Fields{false, false},
     Text::kRest,
     {{"\r\n%s\r\n\r\n", Args::kText, kWhite}},
     List::kNone,
     nullptr,
     false},
    {MsgAction,
     ChannelTest::kPrefix,
     Fields{true, false},
     Text::kQuotedRest,
     {{"%s ", Args::kNick, kActionMagenta}, {"%s\r\n", Args::kText, kActionMagenta}},
     List::kNone,
     nullptr,
     true},
};

bool PassesTest(const ChannelMessageRow& row, const char* payload, const char* channel) {
  return row.test == ChannelTest::kExact ? IsChannelExact(payload, channel)
                                         : IsChannelPrefix(payload, channel);
}

void FormatPiece(const PieceRule& rule, const ChannelFields& fields, const char* text,
                 ConsolePiece* piece) {
  piece->colour = rule.colour;
  switch (rule.arguments) {
    case Args::kNone:
      FormatConsoleLine(piece->text, "%s", rule.format);
      break;
    case Args::kNick:
      FormatConsoleLine(piece->text, rule.format, fields.nick);
      break;
    case Args::kText:
      FormatConsoleLine(piece->text, rule.format, text);
      break;
    case Args::kNickSpeedFiles:
      FormatConsoleLine(piece->text, rule.format, fields.nick, SpeedName(fields.speed),
                        static_cast<unsigned>(fields.files));
      break;
  }
}

}  // namespace

ChannelMessageRows AllChannelMessages() { return {kRows, sizeof(kRows) / sizeof(kRows[0])}; }

const ChannelMessageRow* FindChannelMessage(unsigned type) {
  for (const ChannelMessageRow& row : kRows)
    if (row.type == type) return &row;
  return nullptr;
}

const char* ReadChannelText(const ChannelMessageRow& row, CPayloadCopy& copy,
                            const ChannelFields& fields) {
  switch (row.text) {
    case Text::kNone:
      break;
    case Text::kRest:
      return fields.rest;
    case Text::kQuotedRest:
      return UnquoteActionText(copy.Rest());
  }
  return "";
}

void FormatChatLine(const char* nick, const char* text, ChannelMessageEffect* effect) {
  const ChannelMessageRow& chat = *FindChannelMessage(MsgChannelText);
  ChannelFields fields = {};
  fields.nick = nick;
  effect->listChange = List::kNone;
  FormatConsoleLine(effect->nick, "%s", nick);
  FormatConsoleLine(effect->text, "%s", text);
  effect->files = 0;
  effect->speed = 0;
  effect->topicChanged = false;
  effect->topic[0] = '\0';
  effect->pieceCount = 0;
  for (const PieceRule& rule : chat.pieces) {
    if (rule.format == nullptr) break;
    FormatPiece(rule, fields, text, &effect->pieces[effect->pieceCount++]);
  }
}

bool ReadChannelMessage(const MessageRecord& record, const char* channel,
                        ChannelMessageEffect* effect) {
  const ChannelMessageRow* row = FindChannelMessage(record.type);
  if (row == nullptr || !PassesTest(*row, record.payload, channel)) return false;
  CPayloadCopy copy(record);
  const ChannelFields fields = ReadChannelFields(copy, row->fields);
  const char* text = ReadChannelText(*row, copy, fields);

  effect->listChange = row->listChange;
  // The nick and the text fit: each is part of a payload no longer than the
  // buffer.
  std::strcpy(effect->nick, fields.nick);
  std::strcpy(effect->text, text);
  effect->files = fields.files;
  effect->speed = fields.speed;
  effect->topicChanged = row->topicFormat != nullptr;
  effect->topic[0] = '\0';
  if (effect->topicChanged) FormatConsoleLine(effect->topic, row->topicFormat, channel, text);
  effect->pieceCount = 0;
  for (const PieceRule& rule : row->pieces) {
    if (rule.format == nullptr) break;
    FormatPiece(rule, fields, text, &effect->pieces[effect->pieceCount++]);
  }
  return true;
}
