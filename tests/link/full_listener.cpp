// A listener with a full accept queue.
#include "full_listener.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "tests/support/peer.h"

using namespace link_platform;

namespace {

void SetNonBlocking(SocketHandle s) {
#ifdef _WIN32
  u_long on = 1;
  ioctlsocket(s, FIONBIO, &on);
#else
  fcntl(s, F_SETFL, fcntl(s, F_GETFL, 0) | O_NONBLOCK);
#endif
}

}  // namespace

CFullListener::CFullListener() {
  m_listener = BoundLoopbackSocket(&m_port);
  // A backlog of 0 holds one connection; the fillers take it and more, and
  // every later connect's request is dropped unanswered.
  listen(m_listener, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(m_port));
  for (int i = 0; i < 4; ++i) {
    const SocketHandle filler = socket(AF_INET, SOCK_STREAM, 0);
    SetNonBlocking(filler);
    connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    m_fillers.push_back(filler);
  }
  // Let the handshakes that can complete do so.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

CFullListener::~CFullListener() {
  for (SocketHandle filler : m_fillers) ReleaseHandle(filler);
  ReleaseHandle(m_listener);
}

bool CFullListener::FirstFrameOfTheNextConnect(unsigned* type, std::string* payload) {
  std::vector<unsigned> fillerPorts;
  for (SocketHandle filler : m_fillers) fillerPorts.push_back(PortOf(filler, kLocalEnd));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangBoundMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (WaitUntilReady(m_listener, false, 100) != TransferWait::kReady) continue;
    const SocketHandle accepted = accept(m_listener, nullptr, nullptr);
    if (accepted == kInvalidSocket) continue;
    if (std::find(fillerPorts.begin(), fillerPorts.end(), PortOf(accepted, kPeerEnd)) !=
        fillerPorts.end()) {
      ReleaseHandle(accepted);
      continue;
    }
    const std::atomic<bool> testGoesOn{false};
    CPeerConnection connection(accepted, &testGoesOn);
    return connection.ReadFrame(type, payload);
  }
  return false;
}
