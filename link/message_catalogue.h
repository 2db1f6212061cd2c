// The message catalogue: the codes of every message the client sends or acts
// on, the payload of every message it sends, the line-speed names, the
// channel tests, the rules that turn an input line into a chat, action or
// private message, and the field extraction a page handler uses. No window
// system.
// The senders run where their callers do (the pages on the user-interface
// thread, the login on the worker); the rest are pure functions over the
// caller's buffers, any thread.
//
// Which fields each channel message carries is the channel page's table
// (ui/core/channel_messages.cpp); a handler reads, for example (403):
//   if (!IsChannelPrefix(record.payload, name)) return 0;
//   CPayloadCopy copy(record);
//   ChannelFields f = ReadChannelFields(copy, {true, false});
//   ... show f.nick and f.rest ...
#pragma once

#include <cstdint>

#include "link/frame_header.h"
#include "link/payload.h"

class CServerLink;

enum MessageType : std::uint16_t {
  MsgLogin = 2,          // to server
  MsgLoginAccepted = 3,  // from server, as the login reply
  // From server, as the login reply when it refuses: <reason>. The client
  // takes any reply but 3 as a failed login and does not read the reason.
  MsgLoginRefused = 4,
  // To server <nick> <text>; from it <sender> <text>. The server does not
  // echo one's own, so the sender shows its line itself.
  MsgPrivateMessage = 205,
  MsgJoin = 400,                // to server: <channel>
  MsgLeave = 401,               // both: <channel>
  MsgChat = 402,                // to server: <channel> <text>
  MsgChannelText = 403,         // <channel> <nick> <rest>
  MsgServerNotice = 404,        // from server: <rest = text>, its errors and notices
  MsgJoined = 405,              // <channel>
  MsgUserEntered = 406,         // <channel> <nick> <files> <speed>
  MsgUserLeft = 407,            // <channel> <nick> <number> <number>
  MsgUserListEntry = 408,       // <channel> <nick> <files> <speed>
  MsgTopic = 410,               // <channel> <rest = topic>
  MsgChannelNotice = 425,       // <channel> <rest>
  MsgUserInfoRequest = 603,     // to server: <nick>
  MsgUserInfo = 604,            // from server: ReadUserInfoFields
  MsgChannelListRequest = 617,  // to server: empty
  MsgChannelListEntry = 618,    // <channel> <users> <rest = topic>
  MsgMotd = 621,                // <rest = text>
  // From server <nick> [<rest>]: another user pings; answered at once with
  // 752 and that very payload (SendPingReply). To server, the same grammar
  // pings <nick>.
  MsgUserPing = 751,
  MsgUserPingReply = 752,  // to server <nick> [<rest>]; from it <answerer> [<rest>]
  MsgAction = 824,         // to server <channel> "<text>"; from it <channel> <nick> "<text>"
};

// The display text of a line-speed code (its low 16 bits): "Unknown",
// "14.4K" ... "T3+", "N/A" for codes without a name.
const char* SpeedName(std::uint32_t code);

// The whole payload is the channel name (byte for byte, case-sensitive).
bool IsChannelExact(const char* payload, const char* channel);
// The payload's first token is exactly the channel name, so the page of #c
// never takes the lines of #cat.
bool IsChannelPrefix(const char* payload, const char* channel);

// The fields a channel-scoped payload carries between its channel name and
// its rest, in the order of the grammar: a nick, then two numbers.
struct ChannelFieldSet {
  bool nick;
  bool numbers;
};

// The fields of a channel-scoped message, taken from a payload copy in the
// order of the grammar. Texts point into the copy; a missing token is the
// empty text, a missing or non-numeric number 0.
struct ChannelFields {
  const char* channel;
  const char* nick;     // "" when the set has none
  std::uint32_t files;  // the first number's low 16 bits, as it is shown
  std::uint32_t speed;  // the second number, for SpeedName
  const char* rest;     // the text after the last field, spaces included
};
ChannelFields ReadChannelFields(CPayloadCopy& copy, ChannelFieldSet set);

// 618: the channel, its user count as text, the topic.
struct ChannelListFields {
  const char* channel;
  const char* users;
  const char* topic;
};
ChannelListFields ReadChannelListFields(CPayloadCopy& copy);

// 604, a user's information:
//   <nick> "<level>" <seconds online> "<channels>" "<status>" <files shared>
//   <downloads> <uploads> <line speed code> "<client>"
// Quoted fields are read with NextQuotedToken (an unquoted one is taken as a
// token too); fields after the client are ignored. Texts point into the copy,
// without their quotes; a missing field is the empty text or 0. Numbers keep
// all 32 bits (seconds online run past 65535).
struct UserInfoFields {
  const char* nick;
  const char* level;
  std::uint32_t secondsOnline;
  const char* channels;  // the channel names, space separated
  const char* status;
  std::uint32_t files;
  std::uint32_t downloads;
  std::uint32_t uploads;
  std::uint32_t speed;  // for SpeedName
  const char* client;
};
UserInfoFields ReadUserInfoFields(CPayloadCopy& copy);

// The text between the quotes of an action's rest: its first and last byte
// dropped (in place). A rest shorter than 2 bytes gives the empty text.
const char* UnquoteActionText(char* rest);

// The longest nickname a login carries, in bytes: the server refuses a
// longer one, and the manager page takes no more.
enum : int { kMaxNicknameBytes = 32 };

// What an input line of a channel page sends. Build it with PrepareInputLine
// and send it with SendInputLine.
struct OutgoingLine {
  MessageType type;
  const char* format;  // "%s %s" for chat, "%s \"%s\"" for an action
  char text[kFrameBufferSize];
};

// false for an empty line (nothing to send). A line starting with "/me "
// (any case) or exactly "/action " becomes an action with that prefix
// removed; anything else is chat, cut to its first 500 bytes. Either text is
// then cut just enough that the formatted payload fits one frame. Cuts never
// split a double-byte character: one straddling the limit is dropped whole.
bool PrepareInputLine(const char* channel, const char* line, OutgoingLine* out);
// The same for a line typed to one person: 205 "<nick> <text>", the line
// taken as it is (no action prefix) and cut as chat is. false for an empty
// line. The text is what the page shows as its own line.
bool PreparePrivateLine(const char* nick, const char* line, OutgoingLine* out);

// The messages the client sends, each formatted here and sent with
// SendFrame: 1 when the whole frame went out, 0 otherwise (no link, not
// connected, a failed send). Names go out byte for byte, never read as a
// format.
// 2: "<nickname> <second field> 0 "Velmo v1.0" 8", right after the connect.
int SendLogin(CServerLink* link, const char* nickname, const char* secondField);
// 400: the channel name.
int SendJoin(CServerLink* link, const char* channel);
// 401: the channel name.
int SendLeave(CServerLink* link, const char* channel);
// 617: the empty payload.
int SendChannelListRequest(CServerLink* link);
// 402, 824 or 205 as PrepareInputLine or PreparePrivateLine made it, to the
// channel or nickname the line was prepared for.
int SendInputLine(CServerLink* link, const char* target, const OutgoingLine& line);
// 603: the nickname.
int SendUserInfoRequest(CServerLink* link, const char* nick);
// 752: the payload of the 751 being answered, cut on a character boundary to
// what one frame sends (a relayed ping may be a few bytes longer).
int SendPingReply(CServerLink* link, const MessageRecord& ping);
