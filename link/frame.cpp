// SendFrame and the frame reading rule. See frame.h for the threads.
#include "link/frame.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "link/message_catalogue.h"
#include "link/server_link.h"

namespace {

const int kSendTimeoutSeconds = 10;

}  // namespace

int SendFrame(CServerLink* link, unsigned type, const char* format, ...) {
  if (link == nullptr || format == nullptr) return 0;
  char frame[kFrameBufferSize];
  std::memset(frame, 0, sizeof(frame));
  va_list args;
  va_start(args, format);
  const int length =
      std::vsnprintf(frame + kFrameHeaderSize, sizeof(frame) - kFrameHeaderSize, format, args);
  va_end(args);
  // A cut payload would be a different message: refuse it whole.
  if (length < 0 || length > kMaxSendPayload) return 0;
  EncodeFrameHeader(reinterpret_cast<unsigned char*>(frame), static_cast<std::uint16_t>(length),
                    static_cast<std::uint16_t>(type));
  const int size = kFrameHeaderSize + length;
  // The server takes nothing before the login: a page's frame waits for the
  // connection to be opened to it, which the worker does once its login
  // went out, and meanwhile is refused without disturbing the connect.
  const CStreamSocket::Sender sender =
      type == MsgLogin ? CStreamSocket::Sender::kConnector : CStreamSocket::Sender::kAnyThread;
  return link->Socket().SendAll(frame, size, kSendTimeoutSeconds, sender) == size ? 1 : 0;
}

FrameRead ReadFrame(CStreamSocket& socket, unsigned char* header, char* buffer,
                    int headerTimeoutSeconds, int payloadTimeoutSeconds, FrameHeader* out) {
  if (socket.ReceiveAll(header, kFrameHeaderSize, headerTimeoutSeconds) != kFrameHeaderSize)
    return FrameRead::kHeaderFailed;
  *out = DecodeFrameHeader(header);
  if (out->length >= kFrameBufferSize) return FrameRead::kTooLong;
  if (out->length > 0 &&
      socket.ReceiveAll(buffer, out->length, payloadTimeoutSeconds) != out->length)
    return FrameRead::kPayloadFailed;
  // Also clears a header byte still lying behind a payload of 1 to 3 bytes.
  buffer[out->length] = '\0';
  return FrameRead::kOk;
}
