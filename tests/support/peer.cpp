// Loopback listener and scripted peer for the tests and benchmarks.
#include "tests/support/peer.h"

#include <algorithm>

#include "link/frame_header.h"

using namespace link_platform;

namespace {

// Waits until s is readable; false after timeoutMs.
bool SelectReadable(SocketHandle s, int timeoutMs) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(s, &readable);
  timeval limit = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  return select(static_cast<int>(s) + 1, &readable, nullptr, nullptr, &limit) > 0;
}

}  // namespace

SocketHandle BoundLoopbackSocket(unsigned* port) {
  SocketHandle s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  *port = PortOf(s, kLocalEnd);
  return s;
}

unsigned PortOf(SocketHandle s, ConnectionEnd end) {
  sockaddr_in address = {};
#ifdef _WIN32
  int size = sizeof(address);
#else
  socklen_t size = sizeof(address);
#endif
  const int result = end == kLocalEnd
                         ? getsockname(s, reinterpret_cast<sockaddr*>(&address), &size)
                         : getpeername(s, reinterpret_cast<sockaddr*>(&address), &size);
  return result == 0 ? ntohs(address.sin_port) : 0;
}

unsigned UnusedPort() {
  unsigned port = 0;
  ReleaseHandle(BoundLoopbackSocket(&port));
  return port;
}

bool CPeerConnection::Send(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const int n = static_cast<int>(
        send(m_handle, bytes.data() + done, static_cast<int>(bytes.size() - done), kSendFlags));
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool CPeerConnection::WaitReadable(int timeoutMs) const {
  // In slices, so that the end of the test ends the wait soon.
  const int kSliceMs = 50;
  for (int waited = 0; waited < timeoutMs && !*m_testEnded; waited += kSliceMs) {
    if (SelectReadable(m_handle, std::min(kSliceMs, timeoutMs - waited))) return true;
  }
  return false;
}

std::string CPeerConnection::Read(std::size_t length, int timeoutMs) {
  std::string bytes;
  char chunk[4096];
  while (bytes.size() < length && WaitReadable(timeoutMs)) {
    const std::size_t want = std::min(sizeof(chunk), length - bytes.size());
    const int n = static_cast<int>(recv(m_handle, chunk, static_cast<int>(want), 0));
    if (n <= 0) break;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
  return bytes;
}

bool CPeerConnection::ReadFrame(unsigned* type, std::string* payload, int timeoutMs) {
  const std::string header = Read(kFrameHeaderSize, timeoutMs);
  if (header.size() != kFrameHeaderSize) return false;
  const FrameHeader decoded =
      DecodeFrameHeader(reinterpret_cast<const unsigned char*>(header.data()));
  *type = decoded.type;
  *payload = Read(decoded.length, timeoutMs);
  return payload->size() == decoded.length;
}

bool CPeerConnection::WaitForClose(int timeoutMs) {
  char byte;
  while (WaitReadable(timeoutMs)) {
    if (recv(m_handle, &byte, 1, 0) <= 0) return true;
  }
  return false;
}

bool CPeerConnection::EndsInOrder(int timeoutMs) {
  char byte;
  return WaitReadable(timeoutMs) && recv(m_handle, &byte, 1, 0) == 0;
}

void CPeerConnection::Close() {
  if (m_handle == kInvalidSocket) return;
  ReleaseHandle(m_handle);
  m_handle = kInvalidSocket;
}

CScriptedPeer::CScriptedPeer(Script script) : m_script(std::move(script)) {
  m_listener = BoundLoopbackSocket(&m_port);
  listen(m_listener, 8);
  m_thread = std::thread([this] { Run(); });
}

CScriptedPeer::~CScriptedPeer() {
  m_stop = true;
  m_thread.join();
  ReleaseHandle(m_listener);
}

std::string CScriptedPeer::Address(const std::string& suffix) const {
  return "127.0.0.1:" + std::to_string(m_port) + suffix;
}

void CScriptedPeer::Run() {
  for (int index = 0; !m_stop; ++index) {
    while (!m_stop && !SelectReadable(m_listener, 50)) {
    }
    if (m_stop) return;
    CPeerConnection connection(accept(m_listener, nullptr, nullptr), &m_stop);
    m_accepted++;
    m_script(connection, index);
  }
}

void AcceptLogin(CPeerConnection& connection) {
  unsigned type = 0;
  std::string payload;
  if (!connection.ReadFrame(&type, &payload)) return;
  connection.Send(FrameBytes(3, "ok"));
}
