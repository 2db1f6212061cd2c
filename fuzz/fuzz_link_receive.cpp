// Fuzz target: the client's receive loop against a hostile server. A real
// CServerLink logs in to a loopback peer run by this file, which accepts the
// login and then sends the input as the raw byte stream and closes. The link
// must deliver exactly the frames the reading rule finds in the stream (up
// to the first over-long header or the cut end), each with its NUL, and then
// go offline: no crash, no hang, nothing lost or invented.
// Threads: the fuzzer's thread is the link's user-interface thread and the
// peer; the link's worker delivers into it through a CLinkCallQueue.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "link/frame_header.h"
#include "link/link_call_queue.h"
#include "link/message_catalogue.h"
#include "link/server_link.h"

namespace {

struct Received {
  unsigned type;
  std::string payload;
};

class CRecorder : public ILinkListener {
 public:
  int OnLinkEvent(int code, std::intptr_t value) override {
    if (code == LinkMessage) {
      const auto* record = reinterpret_cast<const MessageRecord*>(value);
      if (record->payload[record->length] != '\0') __builtin_trap();
      frames.push_back({record->type, std::string(record->payload, record->length)});
      return 1;
    }
    if (code == LinkGaveUp) gaveUp = true;
    if (code == LinkConnecting) connecting = true;
    if (code == LinkOffline) offline = true;
    return 0;
  }
  std::vector<Received> frames;
  bool connecting = false;
  bool gaveUp = false;
  bool offline = false;
};

int g_listener = -1;
unsigned g_port = 0;

void Listen() {
  g_listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (g_listener < 0 || bind(g_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(g_listener, 4) != 0 ||
      getsockname(g_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
    __builtin_trap();
  g_port = ntohs(address.sin_port);
}

bool ReadExactly(int handle, char* buffer, std::size_t length) {
  while (length > 0) {
    const ssize_t got = recv(handle, buffer, length, 0);
    if (got < 0 && errno == EINTR) continue;  // the fuzzer's timer signal
    if (got <= 0) return false;
    buffer += got;
    length -= static_cast<std::size_t>(got);
  }
  return true;
}

void SendAll(int handle, const char* data, std::size_t length) {
  while (length > 0) {
    const ssize_t sent = send(handle, data, length, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return;  // the link closed: what it read is still checked
    data += sent;
    length -= static_cast<std::size_t>(sent);
  }
}

// The frames the reading rule finds in the stream.
std::vector<Received> ExpectedFrames(const std::uint8_t* data, std::size_t size) {
  std::vector<Received> frames;
  std::size_t at = 0;
  while (size - at >= kFrameHeaderSize) {
    const FrameHeader header = DecodeFrameHeader(data + at);
    if (header.length >= kFrameBufferSize) break;
    if (size - at - kFrameHeaderSize < header.length) break;
    frames.push_back({header.type, std::string(reinterpret_cast<const char*>(data) + at +
                                                   kFrameHeaderSize,
                                               header.length)});
    at += kFrameHeaderSize + header.length;
  }
  return frames;
}

// Serves deliveries until done() holds; a link that stops delivering for
// this long is a hang.
template <typename Done>
void ServeUntil(CLinkCallQueue& queue, Done done) {
  while (!done()) {
    if (!queue.ServeOne(std::chrono::seconds(20))) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Listen();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CRecorder recorder;
  CLinkCallQueue queue(&recorder);
  CServerLink link;
  if (!link.Start(&queue, "127.0.0.1:" + std::to_string(g_port), "fuzzer")) __builtin_trap();
  ServeUntil(queue, [&] { return recorder.connecting; });

  int peer;
  do {
    peer = accept(g_listener, nullptr, nullptr);
  } while (peer < 0 && errno == EINTR);
  if (peer < 0) __builtin_trap();
  unsigned char header[kFrameHeaderSize];
  char login[kFrameBufferSize];
  if (!ReadExactly(peer, reinterpret_cast<char*>(header), sizeof header) ||
      !ReadExactly(peer, login, DecodeFrameHeader(header).length))
    __builtin_trap();
  const char accepted[] = {0, 6, 0, MsgLoginAccepted, 'f', 'u', 'z', 'z', 'e', 'r'};
  SendAll(peer, accepted, sizeof accepted);
  SendAll(peer, reinterpret_cast<const char*>(data), size);
  shutdown(peer, SHUT_WR);

  ServeUntil(queue, [&] { return recorder.offline || recorder.gaveUp; });
  close(peer);
  if (recorder.gaveUp) __builtin_trap();
  const std::vector<Received> expected = ExpectedFrames(data, size);
  if (recorder.frames.size() != expected.size()) __builtin_trap();
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (recorder.frames[i].type != expected[i].type ||
        recorder.frames[i].payload != expected[i].payload)
      __builtin_trap();
  }
  return 0;
}
