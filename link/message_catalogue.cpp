// Message types, outgoing payloads, speed names, channel tests, input-line
// rules and field extraction. See message_catalogue.h for the threads.
#include "link/message_catalogue.h"

#include <cstring>
#include <string_view>

#include "link/cp932_text.h"
#include "link/frame.h"
#include "link/link_event.h"

namespace {

const std::size_t kChatCut = 500;
const std::size_t kPayloadRoom = kMaxSendPayload;

// Copies line into out->text, cut to limit and to the room one frame leaves
// after the target, its space and, for an action, the quotes.
void FillLine(const char* target, const char* line, std::size_t limit, OutgoingLine* out) {
  const std::size_t around = std::strlen(target) + (out->type == MsgAction ? 3 : 1);
  const std::size_t room = around < kPayloadRoom ? kPayloadRoom - around : 0;
  if (room < limit) limit = room;
  const std::size_t length = CharBoundaryLength(line, limit);
  std::memcpy(out->text, line, length);
  out->text[length] = '\0';
}

}  // namespace

const char* SpeedName(std::uint32_t code) {
  static const char* const kNames[] = {"Unknown",   "14.4K", "28.8K", "33.6K", "56K", "64K ISDN",
                                       "128K ISDN", "Cable", "DSL",   "T1",    "T3+"};
  const std::uint32_t index = code & 0xFFFF;
  return index < sizeof(kNames) / sizeof(kNames[0]) ? kNames[index] : "N/A";
}

bool IsChannelExact(const char* payload, const char* channel) {
  return payload != nullptr && channel != nullptr && std::strcmp(payload, channel) == 0;
}

bool IsChannelPrefix(const char* payload, const char* channel) {
  if (payload == nullptr || channel == nullptr) return false;
  const std::size_t length = std::strlen(channel);
  return std::strncmp(payload, channel, length) == 0 &&
         (payload[length] == ' ' || payload[length] == '\0');
}

ChannelFields ReadChannelFields(CPayloadCopy& copy, ChannelFieldSet set) {
  ChannelFields fields = {copy.Token(), "", 0, 0, nullptr};
  if (set.nick) fields.nick = copy.Token();
  if (set.numbers) {
    fields.files = copy.Number() & 0xFFFF;
    fields.speed = copy.Number();
  }
  fields.rest = copy.Rest();
  return fields;
}

ChannelListFields ReadChannelListFields(CPayloadCopy& copy) {
  ChannelListFields fields;
  fields.channel = copy.Token();
  fields.users = copy.Token();
  fields.topic = copy.Rest();
  return fields;
}

UserInfoFields ReadUserInfoFields(CPayloadCopy& copy) {
  UserInfoFields fields;
  fields.nick = copy.Token();
  fields.level = copy.QuotedToken();
  fields.secondsOnline = copy.Number();
  fields.channels = copy.QuotedToken();
  fields.status = copy.QuotedToken();
  fields.files = copy.Number();
  fields.downloads = copy.Number();
  fields.uploads = copy.Number();
  fields.speed = copy.Number();
  fields.client = copy.QuotedToken();
  return fields;
}

const char* UnquoteActionText(char* rest) {
  if (rest == nullptr || rest[0] == '\0') return "";
  // The quotes go as whole characters: a rest that lacks them must not leave
  // half a double-byte character behind.
  char* text = rest + CharLength(rest);
  char* last = nullptr;
  for (char* p = text; *p != '\0'; p += CharLength(p)) last = p;
  if (last != nullptr) *last = '\0';
  return text;
}

bool PrepareInputLine(const char* channel, const char* line, OutgoingLine* out) {
  if (channel == nullptr || line == nullptr || line[0] == '\0') return false;
  std::size_t limit = static_cast<std::size_t>(-1);
  if (StartsWithIgnoringCase(line, "/me ", 4)) {
    line += 4;
    out->type = MsgAction;
  } else if (std::strncmp(line, "/action ", 8) == 0) {
    line += 8;
    out->type = MsgAction;
  } else {
    out->type = MsgChat;
    limit = kChatCut;
  }
  out->format = out->type == MsgAction ? "%s \"%s\"" : "%s %s";
  FillLine(channel, line, limit, out);
  return true;
}

bool PreparePrivateLine(const char* nick, const char* line, OutgoingLine* out) {
  if (nick == nullptr || line == nullptr || line[0] == '\0') return false;
  out->type = MsgPrivateMessage;
  out->format = "%s %s";
  FillLine(nick, line, kChatCut, out);
  return true;
}

int SendLogin(CServerLink* link, const char* nickname, const char* secondField) {
  return SendFrame(link, MsgLogin, "%s %s 0 \"Velmo v1.0\" 8", nickname, secondField);
}

int SendJoin(CServerLink* link, const char* channel) {
  return SendFrame(link, MsgJoin, "%s", channel);
}

int SendLeave(CServerLink* link, const char* channel) {
  return SendFrame(link, MsgLeave, "%s", channel);
}

int SendChannelListRequest(CServerLink* link) { return SendFrame(link, MsgChannelListRequest, ""); }

int SendInputLine(CServerLink* link, const char* target, const OutgoingLine& line) {
  return SendFrame(link, line.type, line.format, target, line.text);
}

int SendUserInfoRequest(CServerLink* link, const char* nick) {
  return SendFrame(link, MsgUserInfoRequest, "%s", nick);
}

int SendPingReply(CServerLink* link, const MessageRecord& ping) {
  if (ping.payload == nullptr) return 0;
  const std::size_t length =
      CharBoundaryLength(std::string_view(ping.payload, ping.length), kMaxSendPayload);
  return SendFrame(link, MsgUserPingReply, "%.*s", static_cast<int>(length), ping.payload);
}
