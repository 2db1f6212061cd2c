// CStreamSocket over the platform seam. See stream_socket.h for the threads.
#include "link/stream_socket.h"

using namespace link_platform;

namespace {

// Bytes Close reads and throws away before it releases the handle. A bound,
// so a peer that keeps sending cannot hold Close (and Stop) forever.
const int kDrainLimit = 4096;

}  // namespace

CStreamSocket::~CStreamSocket() { Close(); }

int CStreamSocket::Fail(int status) {
  Close();
  m_status = status;
  return 0;
}

int CStreamSocket::Connect(std::uint32_t address, unsigned port, int timeoutSeconds) {
  if (IsOpen()) {
    m_status = StatusError;
    return 0;
  }
  SocketHandle s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == kInvalidSocket) {
    m_status = StatusError;
    return 0;
  }
  PrepareNewSocket(s);
  // Published at once, so a Close on the other thread can abort the connect.
  m_handle = s;

  sockaddr_in peer = {};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<std::uint16_t>(port & 0xFFFF));
  peer.sin_addr.s_addr = address;
  const sockaddr* target = reinterpret_cast<const sockaddr*>(&peer);

  if (timeoutSeconds <= 0) {
    if (connect(s, target, sizeof(peer)) != 0) return Fail(StatusError);
    m_status = StatusOk;
    return 1;
  }

  if (!SetBlocking(s, false)) return Fail(StatusError);
  if (connect(s, target, sizeof(peer)) != 0) {
    if (!IsConnectPending(LastError())) return Fail(StatusError);
    switch (WaitForConnect(s, timeoutSeconds)) {
      case ConnectWait::kTimedOut:
        return Fail(StatusTimedOut);
      case ConnectWait::kFailed:
      case ConnectWait::kError:
        return Fail(StatusError);
      case ConnectWait::kReady:
        // Writable also means "failed" on POSIX; the pending error tells.
        if (PendingError(s) != 0) return Fail(StatusError);
        break;
    }
  }
  if (!SetBlocking(s, true)) return Fail(StatusError);
  m_status = StatusOk;
  return 1;
}

int CStreamSocket::ConnectHost(const char* host, unsigned port, int timeoutSeconds) {
  if (host == nullptr) {
    m_status = StatusError;
    return 0;
  }
  std::uint32_t address = inet_addr(host);
  if (address != INADDR_NONE) return Connect(address, port, 0);
  if (!ResolveIPv4(host, &address)) {
    m_status = StatusError;
    return 0;
  }
  return Connect(address, port, timeoutSeconds);
}

int CStreamSocket::TransferOnce(Direction direction, char* data, int length, int timeoutSeconds) {
  SocketHandle s = m_handle;
  if (s == kInvalidSocket) {
    m_status = StatusNotOpen;
    return -1;
  }
  // Read first and write only on change: a run of calls with one time-out
  // costs a getsockopt each and no setsockopt.
  const int option = direction == kSend ? SO_SNDTIMEO : SO_RCVTIMEO;
  const long wanted = timeoutSeconds > 0 ? timeoutSeconds * 1000L : 0;
  long current = 0;
  if (!GetTimeoutMs(s, option, &current) ||
      (current != wanted && !SetTimeoutMs(s, option, wanted))) {
    Fail(StatusError);
    return -1;
  }
  const int n = direction == kSend ? static_cast<int>(send(s, data, length, kSendFlags))
                                   : static_cast<int>(recv(s, data, length, 0));
  if (n >= 1) return n;
  // 0 from a receive is the peer closing: an error, not a time-out.
  const bool timedOut = n < 0 && IsTimedOut(LastError());
  Fail(timedOut ? StatusTimedOut : StatusError);
  return -1;
}

int CStreamSocket::TransferAll(Direction direction, char* data, int length, int timeoutSeconds) {
  if (!IsOpen()) {
    m_status = StatusNotOpen;
    return -1;
  }
  int done = 0;
  do {
    const int n = TransferOnce(direction, data + done, length - done, timeoutSeconds);
    if (n < 0) return -1;
    done += n;
  } while (done < length);
  return done;
}

int CStreamSocket::SendOnce(const void* data, int length, int timeoutSeconds) {
  return TransferOnce(kSend, static_cast<char*>(const_cast<void*>(data)), length, timeoutSeconds);
}

int CStreamSocket::ReceiveOnce(void* buffer, int size, int timeoutSeconds) {
  return TransferOnce(kReceive, static_cast<char*>(buffer), size, timeoutSeconds);
}

int CStreamSocket::SendAll(const void* data, int length, int timeoutSeconds) {
  return TransferAll(kSend, static_cast<char*>(const_cast<void*>(data)), length, timeoutSeconds);
}

int CStreamSocket::ReceiveAll(void* buffer, int length, int timeoutSeconds) {
  return TransferAll(kReceive, static_cast<char*>(buffer), length, timeoutSeconds);
}

int CStreamSocket::Close() {
  m_status = StatusOk;
  // Whoever takes the handle out releases it; the other caller finds none.
  SocketHandle s = m_handle.exchange(kInvalidSocket);
  if (s == kInvalidSocket) {
    m_status = StatusNotOpen;
    return 0;
  }
  ShutdownBoth(s);
  char byte;
  for (int drained = 0; drained < kDrainLimit && recv(s, &byte, 1, 0) == 1; ++drained) {
  }
  CloseHandle(s);
  return 1;
}
