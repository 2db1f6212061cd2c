// Fuzz target: the client's receive loop against a hostile server. A real
// CServerLink with its worker thread logs in and reads, but the network is
// stood in for at the platform seam: every socket call succeeds without the
// kernel, and the receives hand out an accepted login reply and then the
// input, in pieces of varying size, then the end of the stream. The link
// must deliver exactly the frames the reading rule finds in the stream (up
// to the first over-long header or the cut end), each with its NUL, and then
// go offline: no crash, no hang, nothing lost or invented.
// Threads: the fuzzer's thread is the link's user-interface thread; the
// link's worker delivers into it through a CLinkCallQueue and makes the
// stood-in receives.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "link/frame_header.h"
#include "link/message_catalogue.h"
#include "link/platform_faults.h"
#include "link/server_link.h"
#include "tests/support/link_call_queue.h"

namespace {

using link_platform::PlatformCall;
using link_platform::SocketHandle;

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
    if (code == LinkOffline) offline = true;
    return 0;
  }
  std::vector<Received> frames;
  bool gaveUp = false;
  bool offline = false;
};

// The server as the link's receives see it: the login reply, then the
// input. Used by the worker thread only while a session runs.
class CStandInServer : public link_platform::IPlatformFaults {
 public:
  void Load(const std::uint8_t* data, std::size_t size) {
    static const char kAccepted[] = {0, 6, 0, MsgLoginAccepted, 'f', 'u', 'z', 'z', 'e', 'r'};
    m_stream.assign(kAccepted, sizeof kAccepted);
    m_stream.append(reinterpret_cast<const char*>(data), size);
    m_at = 0;
    m_piece = static_cast<unsigned>(size);
  }
  int Before(PlatformCall call, SocketHandle) override {
    // A real socket gives each session a genuine handle to release.
    return call == PlatformCall::kSocket ? 0 : link_platform::kStandIn;
  }
  void Opened(SocketHandle) override {}
  void Released(SocketHandle) override {}
  int StandInReceive(SocketHandle, char* buffer, int length) override {
    if (m_at >= m_stream.size()) return 0;
    // Pieces of 1 to 61 bytes in a pattern of the input's own, so a header
    // or a payload often arrives split across receives.
    m_piece = m_piece * 1103515245u + 12345u;
    std::size_t piece = 1 + (m_piece >> 16) % 61;
    piece = std::min({piece, static_cast<std::size_t>(length), m_stream.size() - m_at});
    std::memcpy(buffer, m_stream.data() + m_at, piece);
    m_at += piece;
    return static_cast<int>(piece);
  }

 private:
  std::string m_stream;
  std::size_t m_at = 0;
  unsigned m_piece = 0;
};

CStandInServer g_server;

// The frames the reading rule finds in the stream.
std::vector<Received> ExpectedFrames(const std::uint8_t* data, std::size_t size) {
  std::vector<Received> frames;
  std::size_t at = 0;
  while (size - at >= kFrameHeaderSize) {
    const FrameHeader header = DecodeFrameHeader(data + at);
    if (header.length >= kFrameBufferSize) break;
    if (size - at - kFrameHeaderSize < header.length) break;
    frames.push_back(
        {header.type,
         std::string(reinterpret_cast<const char*>(data) + at + kFrameHeaderSize, header.length)});
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
  link_platform::SetPlatformFaults(&g_server);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  g_server.Load(data, size);
  CRecorder recorder;
  CLinkCallQueue queue(&recorder);
  CServerLink link;
  if (!link.Start(&queue, "127.0.0.1:4000", "fuzzer")) __builtin_trap();
  ServeUntil(queue, [&] { return recorder.offline || recorder.gaveUp; });
  link.Stop();
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
