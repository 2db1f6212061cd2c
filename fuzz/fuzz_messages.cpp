// Fuzz target: what the client does with a received frame. The payload goes
// through the channel page's own reading (ReadChannelMessage) as every type
// of its message table and as the type the input names, for the payload's
// own channel and for another; then the console pieces into the RTF guard.
// The manager page's channel list fields and a user's information (604,
// quoted fields) are read too. Input: 2 bytes of
// message type, then the payload (cut to what a frame carries). Checks that
// every text handed out is terminated inside its buffer.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/link_event.h"
#include "link/message_catalogue.h"
#include "link/payload.h"
#include "ui/core/channel_messages.h"
#include "ui/core/rtf_guard.h"

namespace {

// A text handed out must be a NUL-terminated run inside a buffer of size.
void CheckText(const char* text, std::size_t size) {
  if (text == nullptr) __builtin_trap();
  if (strnlen(text, size) >= size) __builtin_trap();
}

void HandleAs(unsigned type, const char* payload, std::size_t length, const char* channel) {
  const MessageRecord record = {static_cast<std::uint16_t>(length),
                                static_cast<std::uint16_t>(type), payload};
  ChannelMessageEffect effect;
  if (!ReadChannelMessage(record, channel, &effect)) return;
  CheckText(effect.nick, sizeof(effect.nick));
  CheckText(effect.topic, sizeof(effect.topic));
  if (effect.pieceCount < 0 || effect.pieceCount > kMaxPiecesPerMessage) __builtin_trap();
  for (int i = 0; i < effect.pieceCount; ++i) {
    CheckText(effect.pieces[i].text, sizeof(effect.pieces[i].text));
    (void)IsUnsafeRtf(effect.pieces[i].text);
  }
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
  CPayloadCopy whole(payload, size);
  CheckText(whole.Rest(), kFrameBufferSize);
  HandleAs(ownType, payload, size, channel);
  for (const ChannelMessageRow& row : AllChannelMessages()) {
    HandleAs(row.type, payload, size, channel);
    HandleAs(row.type, payload, size, "#velmo");
  }
  CPayloadCopy listed(payload, size);
  const ChannelListFields row = ReadChannelListFields(listed);
  CheckText(row.channel, kFrameBufferSize);
  CheckText(row.users, kFrameBufferSize);
  CheckText(row.topic, kFrameBufferSize);
  CPayloadCopy asked(payload, size);
  const UserInfoFields user = ReadUserInfoFields(asked);
  for (const char* text : {user.nick, user.level, user.channels, user.status, user.client}) {
    CheckText(text, kFrameBufferSize);
  }
  // A payload is also what a console shows verbatim (MOTD, unhandled lines).
  (void)IsUnsafeRtf(payload);
  return 0;
}
