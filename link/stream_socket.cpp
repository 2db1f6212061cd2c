// CStreamSocket over the platform seam. See stream_socket.h for the threads.
#include "link/stream_socket.h"

#include <algorithm>
#include <chrono>

using namespace link_platform;

namespace {

// How long Close may go on reading away what has arrived. It reads until
// the socket would block or the peer has ended, with no bound on the bytes:
// SO_RCVBUF does not say how much may be queued (receive auto-tuning lets the
// window grow far past it), and WinSock resets a connection closed with a
// byte unread, which drops what is still to be sent. The time bound is for a
// peer that sends as fast as it is read, so it cannot hold Close (and Stop).
const auto kDrainTime = std::chrono::milliseconds(500);
// The drain's one buffer, on the closing thread's stack: read in a loop.
const int kDrainChunk = 16384;
// How long a connect waits at a time before it looks whether it was closed.
const int kConnectSliceMs = 50;
// How long a send or receive waits at a time before it looks whether it was
// closed: a Close from the other thread therefore ends every wait within a
// slice, even where a shutdown does not wake the wait (Wine's WinSock, with
// a peer that neither sends nor closes). The socket stays non-blocking once
// connected and the wait is for readiness (see WaitUntilReady): no call
// times out, and none costs an option call.
const int kTransferSliceMs = 200;

}  // namespace

CStreamSocket::~CStreamSocket() { Close(); }

CStreamSocket::Slot* CStreamSocket::Find(SocketHandle handle) {
  for (Slot& slot : m_slots)
    if (slot.uses > 0 && slot.handle == handle) return &slot;
  return nullptr;
}

SocketHandle CStreamSocket::BeginUse(Sender sender, bool* notYet) {
  std::lock_guard<std::mutex> guard(m_lock);
  *notYet = false;
  const SocketHandle s = m_handle.load();
  if (s == kInvalidSocket) return s;
  Slot* slot = Find(s);
  // Checked under the lock with the use taken, so the send cannot reach a
  // newer connection that has not been opened to it.
  if (sender == Sender::kAnyThread && !slot->openToAnyThread) {
    *notYet = true;
    return kInvalidSocket;
  }
  ++slot->uses;
  return s;
}

void CStreamSocket::OpenToAnyThread() {
  std::lock_guard<std::mutex> guard(m_lock);
  const SocketHandle s = m_handle.load();
  if (s != kInvalidSocket) Find(s)->openToAnyThread = true;
}

bool CStreamSocket::IsOpenToAnyThread() {
  std::lock_guard<std::mutex> guard(m_lock);
  const SocketHandle s = m_handle.load();
  return s != kInvalidSocket && Find(s)->openToAnyThread;
}

SocketHandle CStreamSocket::OpenPublished() {
  std::lock_guard<std::mutex> guard(m_lock);
  // Under the lock that CloseAndRefuse's close takes after raising the flag:
  // either the flag is seen here, or that close finds this handle open.
  if (m_refusing.load() || m_handle.load() != kInvalidSocket) return kInvalidSocket;
  for (Slot& slot : m_slots) {
    if (slot.uses > 0) continue;
    const SocketHandle fresh = OpenStreamSocket();
    if (fresh == kInvalidSocket) return fresh;
    // One use for being open, one for the connect under way.
    slot = {fresh, 2, false};
    m_handle = fresh;
    return fresh;
  }
  return kInvalidSocket;
}

void CStreamSocket::EndUse(SocketHandle handle) {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    if (--Find(handle)->uses > 0) return;
  }
  // No call uses the handle now, so nothing else reads from it. Only what has
  // already arrived is read: a peer that neither sends nor closes must not
  // hold the close, and one that keeps sending stops it at the time bound.
  if (SetBlocking(handle, false)) {
    const auto deadline = std::chrono::steady_clock::now() + kDrainTime;
    char unread[kDrainChunk];
    for (;;) {
      const int n = ReceiveSome(handle, unread, sizeof(unread));
      // 0: the peer has ended. A failure is mostly "would block" (all read);
      // a reset or any other leaves nothing to read either.
      if (n == 0 || (n < 0 && !IsInterrupted(LastError()))) break;
      if (std::chrono::steady_clock::now() >= deadline) break;
    }
  }
  // The slot is free now; the number may be reused once released, and
  // nothing here refers to it any more.
  CloseStreamSocket(handle);
}

bool CStreamSocket::CloseOpen(SocketHandle only) {
  SocketHandle s;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    s = m_handle.load();
    if (s == kInvalidSocket || (only != kInvalidSocket && s != only)) return false;
    m_handle = kInvalidSocket;
    // The use of being open becomes this close's use.
  }
  // The sending side only: the peer reads what was sent and then the end.
  // Shutting down receiving as well would make WinSock fail the drain at
  // once, and reset the connection if anything arrived after it.
  ShutdownSending(s);
  EndUse(s);
  return true;
}

int CStreamSocket::WaitForConnect(SocketHandle s, int timeoutSeconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  for (;;) {
    long left = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      deadline - std::chrono::steady_clock::now())
                                      .count());
    // Without a time-out the platform decides when the connect has failed.
    if (timeoutSeconds <= 0) left = kConnectSliceMs;
    if (left <= 0) return StatusTimedOut;
    switch (
        link_platform::WaitForConnect(s, static_cast<int>(std::min<long>(left, kConnectSliceMs)))) {
      case ConnectWait::kTimedOut:
        // Closed meanwhile: a shutdown does not wake every platform's wait.
        if (!IsOpenHandle(s)) return StatusError;
        break;
      case ConnectWait::kFailed:
      case ConnectWait::kError:
        return StatusError;
      case ConnectWait::kReady:
        // Writable also means "failed" on POSIX; the pending error tells.
        return PendingError(s) == 0 ? StatusOk : StatusError;
    }
  }
}

int CStreamSocket::Connect(std::uint32_t address, unsigned port, int timeoutSeconds) {
  // Published as it is opened, so a Close on the other thread can abort the
  // connect.
  const SocketHandle s = OpenPublished();
  if (s == kInvalidSocket) {
    m_status = StatusError;
    return 0;
  }

  sockaddr_in peer = {};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<std::uint16_t>(port & 0xFFFF));
  peer.sin_addr.s_addr = address;

  // Non-blocking even without a time-out: WinSock's shutdown does not wake a
  // blocking connect, which would then hold Stop for the platform's own
  // connect time-out (over two minutes under Wine). That time-out still ends
  // the wait, as a failed connect. The socket stays non-blocking for its
  // sends and receives.
  int status = StatusOk;
  if (!SetBlocking(s, false)) {
    status = StatusError;
  } else {
    if (!ConnectTo(s, peer))
      status = IsConnectPending(LastError()) ? WaitForConnect(s, timeoutSeconds) : StatusError;
  }
  // A Close on the other thread during the connect leaves nothing open to
  // report success on.
  if (status == StatusOk && !IsOpenHandle(s)) status = StatusError;
  if (status != StatusOk) CloseOpen(s);
  EndUse(s);
  m_status = status;
  return status == StatusOk ? 1 : 0;
}

int CStreamSocket::ConnectHost(const char* host, unsigned port, int timeoutSeconds) {
  if (host == nullptr) {
    m_status = StatusError;
    return 0;
  }
  // A refused connect needs no name: the lookup is not even started.
  if (m_refusing.load()) {
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

int CStreamSocket::TransferWhenReady(Direction direction, SocketHandle s, char* data, int length,
                                     int timeoutSeconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  for (;;) {
    const int n = direction == kSend ? SendSome(s, data, length) : ReceiveSome(s, data, length);
    if (n >= 0) return n;
    const int error = LastError();
    // A signal is no failure of the connection: the call is made again.
    if (IsInterrupted(error)) continue;
    if (!IsWouldBlock(error)) return n;
    // Nothing to send into or to receive yet: wait until there is.
    for (bool ready = false; !ready;) {
      long wait = kTransferSliceMs;
      if (timeoutSeconds > 0) {
        const long left = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                deadline - std::chrono::steady_clock::now())
                                                .count());
        if (left <= 0) {
          SetSocketError(kErrorTimedOut);
          return -1;
        }
        wait = std::min(left, wait);
      }
      switch (WaitUntilReady(s, direction == kSend, static_cast<int>(wait))) {
        case TransferWait::kReady:
          ready = true;
          break;
        case TransferWait::kTimedOut:
          // Closed meanwhile: a time-out on a closed handle, which the caller
          // takes for the error it is.
          if (!IsOpenHandle(s)) {
            SetSocketError(kErrorTimedOut);
            return -1;
          }
          break;
        case TransferWait::kError:
          return -1;
      }
    }
  }
}

int CStreamSocket::TransferOnce(Direction direction, Sender sender, char* data, int length,
                                int timeoutSeconds) {
  bool notYet = false;
  const SocketHandle s = BeginUse(sender, &notYet);
  if (s == kInvalidSocket) {
    if (!notYet) m_status = StatusNotOpen;
    return -1;
  }
  int status = StatusError;
  const int n = TransferWhenReady(direction, s, data, length, timeoutSeconds);
  // Bytes that came after another thread's Close took the handle out are
  // not delivered: the connection has ended for this object, and the rest of
  // a frame begun here would never come.
  if (n >= 1 && IsOpenHandle(s)) {
    EndUse(s);
    return n;
  }
  // 0 from a receive is the peer closing, and a wait that a Close ended is
  // no time-out either: both are errors.
  if (n < 0 && IsTimedOut(LastError()) && IsOpenHandle(s)) status = StatusTimedOut;
  // Only the handle this call used: the other thread may have closed it and
  // opened a new one meanwhile, which is not this failure's to close.
  const bool closed = CloseOpen(s);
  EndUse(s);
  // The reason stays unless a newer connection owns the status now.
  if (closed || !IsOpen()) m_status = status;
  return -1;
}

int CStreamSocket::TransferAll(Direction direction, Sender sender, char* data, int length,
                               int timeoutSeconds) {
  if (!IsOpen()) {
    m_status = StatusNotOpen;
    return -1;
  }
  int done = 0;
  do {
    const int n = TransferOnce(direction, sender, data + done, length - done, timeoutSeconds);
    if (n < 0) return -1;
    done += n;
  } while (done < length);
  return done;
}

int CStreamSocket::SendOnce(const void* data, int length, int timeoutSeconds, Sender sender) {
  return TransferOnce(kSend, sender, static_cast<char*>(const_cast<void*>(data)), length,
                      timeoutSeconds);
}

int CStreamSocket::ReceiveOnce(void* buffer, int size, int timeoutSeconds) {
  return TransferOnce(kReceive, Sender::kConnector, static_cast<char*>(buffer), size,
                      timeoutSeconds);
}

int CStreamSocket::SendAll(const void* data, int length, int timeoutSeconds, Sender sender) {
  return TransferAll(kSend, sender, static_cast<char*>(const_cast<void*>(data)), length,
                     timeoutSeconds);
}

int CStreamSocket::ReceiveAll(void* buffer, int length, int timeoutSeconds) {
  return TransferAll(kReceive, Sender::kConnector, static_cast<char*>(buffer), length,
                     timeoutSeconds);
}

int CStreamSocket::CloseAndRefuse() {
  // Raised before the close takes the lock: see OpenPublished.
  m_refusing = true;
  return Close();
}

int CStreamSocket::Close() {
  m_status = StatusOk;
  // Whoever takes the handle out closes the connection; the other caller
  // finds none.
  if (!CloseOpen(kInvalidSocket)) {
    m_status = StatusNotOpen;
    return 0;
  }
  return 1;
}
