// Fuzz target: what the client does with a received frame. The payload bytes
// go through the same steps a page handler takes for every message type
// (channel tests, payload copy, field extraction, action unquoting, channel
// list fields), then into the console: the RTF guard and the line formatter.
// Input: 2 bytes of message type, then the payload (cut to what a frame
// carries). Checks that every text handed out lies inside the copy.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "link/link_event.h"
#include "link/message_catalogue.h"
#include "ui/console_line.h"
#include "ui/rtf_guard.h"

namespace {

// Every type a handler acts on, plus whatever type the input names.
const unsigned kTypes[] = {MsgLoginAccepted, MsgLeave,        MsgChannelText,     MsgJoined,
                           MsgUserEntered,   MsgUserLeft,     MsgUserListEntry,   MsgTopic,
                           MsgChannelNotice, MsgChannelListEntry, MsgMotd,          MsgAction};

// A text a field points at must be a NUL-terminated run inside the copy, or
// one of the catalogue's empty constants.
void CheckText(const char* text) {
  if (text == nullptr) __builtin_trap();
  if (std::strlen(text) > kMaxReceivePayload) __builtin_trap();
}

void ShowOnConsole(const ChannelFields& f, const char* shown) {
  char line[kConsoleLineSize];
  FormatConsoleLine(line, "<%s> %s\r\n", f.nick, shown);
  const std::size_t length = std::strlen(line);
  if (length > kConsoleLineSize - 1) __builtin_trap();
  (void)IsUnsafeRtf(line);
  (void)IsUnsafeRtf(shown);
}

void HandleAs(unsigned type, const char* payload, std::size_t length, const char* channel) {
  (void)IsChannelExact(payload, channel);
  (void)IsChannelPrefix(payload, channel);
  CPayloadCopy copy(payload, length);
  if (type == MsgChannelListEntry) {
    ChannelListFields f = ReadChannelListFields(copy);
    CheckText(f.channel);
    CheckText(f.users);
    CheckText(f.topic);
    return;
  }
  ChannelFields f = ReadChannelFields(copy, type);
  CheckText(f.channel);
  CheckText(f.nick);
  CheckText(f.rest);
  (void)SpeedName(f.speed);
  const char* shown = f.rest;
  if (type == MsgAction) shown = UnquoteActionText(const_cast<char*>(f.rest));
  CheckText(shown);
  ShowOnConsole(f, shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned ownType = static_cast<unsigned>(data[0] << 8 | data[1]);
  data += 2;
  size -= 2;
  if (size > kMaxReceivePayload) size = kMaxReceivePayload;
  // The record as the link hands it over: the payload with a NUL after it.
  char payload[kFrameBufferSize];
  std::memcpy(payload, data, size);
  payload[size] = '\0';
  // A channel name taken from the payload's own first token, so the channel
  // tests also see matches, and a fixed one.
  char channel[kFrameBufferSize];
  std::size_t first = 0;
  while (first < size && payload[first] != ' ' && payload[first] != '\0') ++first;
  std::memcpy(channel, payload, first);
  channel[first] = '\0';
  const MessageRecord record = {static_cast<std::uint16_t>(size),
                                static_cast<std::uint16_t>(ownType), payload};
  CPayloadCopy whole(record);
  CheckText(whole.Rest());
  HandleAs(ownType, payload, size, channel);
  for (unsigned type : kTypes) HandleAs(type, payload, size, "#velmo");
  // A payload is also what a console shows verbatim (MOTD, unhandled lines).
  (void)IsUnsafeRtf(payload);
  return 0;
}
