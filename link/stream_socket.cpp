// CStreamSocket over the platform seam. See stream_socket.h for the threads.
#include "link/stream_socket.h"

#include <thread>

using namespace link_platform;

namespace {

// Bytes Close reads and throws away before it releases the handle. A bound,
// so a peer that keeps sending cannot hold Close (and Stop) forever.
const int kDrainLimit = 4096;

}  // namespace

// One operation's hold on the handle: counted before the handle is read, so
// a Close that takes the handle out afterwards sees the use and leaves the
// release to its end.
class CStreamSocket::CUse {
 public:
  explicit CUse(CStreamSocket& socket) : m_socket(socket) {
    ++socket.m_uses;
    m_handle = socket.m_handle;
  }
  // A use of a handle being published: Connect's new socket.
  CUse(CStreamSocket& socket, SocketHandle fresh) : m_socket(socket), m_handle(fresh) {
    ++socket.m_uses;
    socket.m_handle = fresh;
  }
  CUse(const CUse&) = delete;
  CUse& operator=(const CUse&) = delete;
  ~CUse() { m_socket.EndUse(); }
  SocketHandle handle() const { return m_handle; }

 private:
  CStreamSocket& m_socket;
  SocketHandle m_handle;
};

CStreamSocket::~CStreamSocket() { Close(); }

void CStreamSocket::EndUse() {
  if (--m_uses != 0) return;
  const SocketHandle retired = m_retired.exchange(kInvalidSocket);
  if (retired != kInvalidSocket) ReleaseHandle(retired);
}

void CStreamSocket::Retire(SocketHandle handle) {
  // The slot holds one handle; a second Close waits until the first one's
  // stragglers (already woken by its shutdown) have left and released it.
  SocketHandle empty = kInvalidSocket;
  while (!m_retired.compare_exchange_weak(empty, handle)) {
    empty = kInvalidSocket;
    std::this_thread::yield();
  }
  // Counted as a use of its own, so the release runs exactly when none is left.
  ++m_uses;
  EndUse();
}

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
  const SocketHandle s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == kInvalidSocket) {
    m_status = StatusError;
    return 0;
  }
  PrepareNewSocket(s);

  sockaddr_in peer = {};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<std::uint16_t>(port & 0xFFFF));
  peer.sin_addr.s_addr = address;
  const sockaddr* target = reinterpret_cast<const sockaddr*>(&peer);

  int status = StatusOk;
  {
    // Published at once, so a Close on the other thread can abort the connect.
    CUse use(*this, s);
    if (timeoutSeconds <= 0) {
      if (connect(s, target, sizeof(peer)) != 0) status = StatusError;
    } else if (!SetBlocking(s, false)) {
      status = StatusError;
    } else {
      if (connect(s, target, sizeof(peer)) != 0) {
        if (!IsConnectPending(LastError())) {
          status = StatusError;
        } else {
          switch (WaitForConnect(s, timeoutSeconds)) {
            case ConnectWait::kTimedOut:
              status = StatusTimedOut;
              break;
            case ConnectWait::kFailed:
            case ConnectWait::kError:
              status = StatusError;
              break;
            case ConnectWait::kReady:
              // Writable also means "failed" on POSIX; the pending error tells.
              if (PendingError(s) != 0) status = StatusError;
              break;
          }
        }
      }
      if (status == StatusOk && !SetBlocking(s, true)) status = StatusError;
    }
  }
  if (status != StatusOk) return Fail(status);
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
  int status = StatusOk;
  {
    CUse use(*this);
    const SocketHandle s = use.handle();
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
      status = StatusError;
    } else {
      int n;
      // A signal is no failure of the connection: the call is made again.
      do {
        n = direction == kSend ? static_cast<int>(send(s, data, length, kSendFlags))
                               : static_cast<int>(recv(s, data, length, 0));
      } while (n < 0 && IsInterrupted(LastError()));
      if (n >= 1) return n;
      // 0 from a receive is the peer closing: an error, not a time-out.
      status = n < 0 && IsTimedOut(LastError()) ? StatusTimedOut : StatusError;
    }
  }
  // Outside the use: Close must not find this call still counted.
  Fail(status);
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
  // Whoever takes the handle out closes the connection; the other caller
  // finds none.
  const SocketHandle s = m_handle.exchange(kInvalidSocket);
  if (s == kInvalidSocket) {
    m_status = StatusNotOpen;
    return 0;
  }
  ShutdownBoth(s);
  char byte;
  for (int drained = 0; drained < kDrainLimit && recv(s, &byte, 1, 0) == 1; ++drained) {
  }
  Retire(s);
  return 1;
}
