// The one meeting point with the platform's socket API: WinSock 2 on
// Windows, BSD sockets elsewhere. It maps handles, error codes, blocking
// mode, the waits for a pending connect and for a send or receive to be
// possible, name lookup and the socket library's start-up. No socket option
// time-out is used (see WaitUntilReady). Everything above it, the stream socket included, is shared
// code; the server stand-in builds its event loop on it too and keeps only what it alone needs
// (poll, listening) in server/server_sockets.h. Stateless (the fault seam's one pointer is in
// platform_faults.cpp); any thread.
//
// Every call the stream socket makes on the platform goes through one of the
// wrappers below, and each passes the fault seam first: a test can make any
// single call fail with an error of its choice and watch every handle being
// opened and released, and a fuzz harness can stand in for the network and
// feed the link's receives from memory. The seam lives in
// link/platform_faults.h, out of sight of the product's code; nothing is
// installed in the product, and the cost is one call and one atomic load per
// platform call.
//
// The link never starts the socket library: on Windows the host process
// does before the first connect. StartSockets is for programs that own
// their sockets (the server stand-in, tests).
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdint>
#include <cstring>

namespace link_platform {

// How a wait for a pending connect ended.
enum class ConnectWait { kReady, kFailed, kTimedOut, kError };
// How a wait for a send or receive to be possible ended. Ready also when the
// peer closed or reset the connection: the call that follows says which.
enum class TransferWait { kReady, kTimedOut, kError };

#ifdef _WIN32
using SocketHandle = SOCKET;
const SocketHandle kInvalidSocket = INVALID_SOCKET;
const int kSendFlags = 0;
// The errors a test seam hands out: a connection reset, a time-out.
const int kErrorReset = WSAECONNRESET;
const int kErrorTimedOut = WSAETIMEDOUT;

inline int LastError() { return WSAGetLastError(); }
inline void SetSocketError(int error) { WSASetLastError(error); }
// A non-blocking call with nothing to do now.
inline bool IsWouldBlock(int error) { return error == WSAEWOULDBLOCK; }
// WinSock reports a connect under way as a call that would block.
inline bool IsConnectPending(int error) { return IsWouldBlock(error); }
inline bool IsTimedOut(int error) { return error == WSAETIMEDOUT; }
// WinSock calls are not interrupted by signals.
inline bool IsInterrupted(int) { return false; }
// The raw release, for handles the seam's books never saw (test peers, the
// server's listener and accepted clients).
inline void ReleaseHandle(SocketHandle s) { closesocket(s); }
// WinSock counts its users, so every start has its stop.
inline bool StartSockets() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}
inline void StopSockets() { WSACleanup(); }
#else
using SocketHandle = int;
const SocketHandle kInvalidSocket = -1;
// A send to a peer that has gone must fail, not raise SIGPIPE in the host.
#ifdef MSG_NOSIGNAL
const int kSendFlags = MSG_NOSIGNAL;
#else
const int kSendFlags = 0;
#endif
const int kErrorReset = ECONNRESET;
const int kErrorTimedOut = ETIMEDOUT;

inline int LastError() { return errno; }
inline void SetSocketError(int error) { errno = error; }
inline bool IsWouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }
inline bool IsConnectPending(int error) { return error == EINPROGRESS; }
inline bool IsTimedOut(int error) { return error == ETIMEDOUT; }
// A signal handler ran during the call (one installed without SA_RESTART).
inline bool IsInterrupted(int error) { return error == EINTR; }
inline void ReleaseHandle(SocketHandle s) { close(s); }
inline bool StartSockets() { return true; }
inline void StopSockets() {}
#endif

// The platform calls that pass the fault seam, as it names them: every call
// the stream socket makes, and the server stand-in's sends, receives and
// blocking-mode switches (it creates and releases its handles outside the
// seam, so they never enter a seam's books).
enum class PlatformCall {
  kSocket,        // creating a socket
  kConnect,       // connect
  kWait,          // select/poll for a pending connect
  kTransferWait,  // select/poll for a send or receive to be possible
  kGetOption,     // getsockopt: the pending error of a connect
  kBlockingMode,  // ioctlsocket FIONBIO / fcntl O_NONBLOCK
  kSend,
  kReceive,
  kShutdown,  // made even when the seam fails it (its result is ignored); a stand-in skips it
  kResolve,   // the name lookup
};

// The fault seam's side of each wrapper (link/platform_faults.h holds the
// seam itself, which only its implementation and the tests see). Nothing is
// installed in the product, and then every call runs.
enum class Verdict { kRun, kFail, kStandIn };

// What the seam says of this call; on kFail the last error is set.
Verdict Consult(PlatformCall call, SocketHandle handle);
// Each handle the stream socket creates and releases, told to the seam.
void NoteOpened(SocketHandle handle);
void NoteReleased(SocketHandle handle);
// A receive the seam stands in for: bytes placed in buffer (at most length),
// 0 for the end of the stream, or -1 with the last error set.
int StandInReceive(SocketHandle handle, char* buffer, int length);

// A new IPv4 stream socket, or kInvalidSocket.
inline SocketHandle OpenStreamSocket() {
  if (Consult(PlatformCall::kSocket, kInvalidSocket) == Verdict::kFail) return kInvalidSocket;
  const SocketHandle s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == kInvalidSocket) return s;
#ifdef SO_NOSIGPIPE
  // Where sends cannot say MSG_NOSIGNAL, the socket says it once.
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof(on));
#endif
  NoteOpened(s);
  return s;
}

inline void CloseStreamSocket(SocketHandle s) {
  NoteReleased(s);
  ReleaseHandle(s);
}

// Ends the sending side only: the peer reads what was sent, then the end.
// Receiving stays open, because WinSock fails every receive after a shutdown
// of receiving and resets the connection when data arrives after one. On a
// socket still connecting it aborts the connect where the platform can.
inline void ShutdownSending(SocketHandle s) {
  if (Consult(PlatformCall::kShutdown, s) == Verdict::kStandIn) return;
#ifdef _WIN32
  shutdown(s, SD_SEND);
#else
  shutdown(s, SHUT_WR);
#endif
}

// true when connected at once; otherwise LastError() tells (pending or not).
inline bool ConnectTo(SocketHandle s, const sockaddr_in& peer) {
  const Verdict verdict = Consult(PlatformCall::kConnect, s);
  if (verdict != Verdict::kRun) return verdict == Verdict::kStandIn;
  return connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) == 0;
}

// One send or receive; the platform's result (bytes, 0 or -1).
inline int SendSome(SocketHandle s, const char* data, int length) {
  const Verdict verdict = Consult(PlatformCall::kSend, s);
  if (verdict != Verdict::kRun) return verdict == Verdict::kStandIn ? length : -1;
  return static_cast<int>(send(s, data, length, kSendFlags));
}
inline int ReceiveSome(SocketHandle s, char* buffer, int length) {
  const Verdict verdict = Consult(PlatformCall::kReceive, s);
  if (verdict == Verdict::kFail) return -1;
  if (verdict == Verdict::kStandIn) return StandInReceive(s, buffer, length);
  return static_cast<int>(recv(s, buffer, length, 0));
}

#ifdef _WIN32
inline bool SetBlocking(SocketHandle s, bool blocking) {
  const Verdict verdict = Consult(PlatformCall::kBlockingMode, s);
  if (verdict != Verdict::kRun) return verdict == Verdict::kStandIn;
  u_long nonBlocking = blocking ? 0 : 1;
  return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

// A refused connect shows only in the except set; the write set alone would
// wait out the whole time-out.
inline ConnectWait WaitForConnect(SocketHandle s, int milliseconds) {
  const Verdict verdict = Consult(PlatformCall::kWait, s);
  if (verdict != Verdict::kRun)
    return verdict == Verdict::kStandIn ? ConnectWait::kReady : ConnectWait::kError;
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval limit = {milliseconds / 1000, milliseconds % 1000 * 1000};
  int n = select(0, nullptr, &writable, &failed, &limit);
  if (n < 0) return ConnectWait::kError;
  if (FD_ISSET(s, &failed)) return ConnectWait::kFailed;
  if (FD_ISSET(s, &writable)) return ConnectWait::kReady;
  return ConnectWait::kTimedOut;
}

// For a connected socket, which the stream socket keeps non-blocking: a send
// or receive that would block waits here, and no call ever times out. After
// a send or receive that timed out (SO_SNDTIMEO, SO_RCVTIMEO), WinSock
// documents the connection's state as indeterminate, and bytes may be lost.
inline TransferWait WaitUntilReady(SocketHandle s, bool forSend, int milliseconds) {
  const Verdict verdict = Consult(PlatformCall::kTransferWait, s);
  if (verdict != Verdict::kRun)
    return verdict == Verdict::kStandIn ? TransferWait::kReady : TransferWait::kError;
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(s, &ready);
  timeval limit = {milliseconds / 1000, milliseconds % 1000 * 1000};
  const int n = forSend ? select(0, nullptr, &ready, nullptr, &limit)
                        : select(0, &ready, nullptr, nullptr, &limit);
  if (n < 0) return TransferWait::kError;
  return n > 0 ? TransferWait::kReady : TransferWait::kTimedOut;
}

// gethostbyname keeps its result per thread on WinSock.
inline bool ResolveIPv4(const char* host, std::uint32_t* address) {
  const Verdict verdict = Consult(PlatformCall::kResolve, kInvalidSocket);
  if (verdict != Verdict::kRun) {
    *address = htonl(INADDR_LOOPBACK);
    return verdict == Verdict::kStandIn;
  }
  hostent* entry = gethostbyname(host);
  if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_addr_list[0] == nullptr)
    return false;
  in_addr first;
  memcpy(&first, entry->h_addr_list[0], sizeof(first));
  *address = first.s_addr;
  return true;
}

#else
inline bool SetBlocking(SocketHandle s, bool blocking) {
  const Verdict verdict = Consult(PlatformCall::kBlockingMode, s);
  if (verdict != Verdict::kRun) return verdict == Verdict::kStandIn;
  int flags = fcntl(s, F_GETFL, 0);
  if (flags < 0) return false;
  flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return fcntl(s, F_SETFL, flags) == 0;
}

// poll rather than select: a descriptor above FD_SETSIZE must not overrun an
// fd_set. A refused connect reports POLLOUT with POLLERR; SO_ERROR tells. A
// signal handler running during the wait is no failure: the wait goes on for
// the time left.
inline ConnectWait WaitForConnect(SocketHandle s, int milliseconds) {
  const Verdict verdict = Consult(PlatformCall::kWait, s);
  if (verdict != Verdict::kRun)
    return verdict == Verdict::kStandIn ? ConnectWait::kReady : ConnectWait::kError;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  int left = milliseconds;
  for (;;) {
    pollfd entry = {s, POLLOUT, 0};
    const int n = poll(&entry, 1, left);
    if (n > 0) return ConnectWait::kReady;
    if (n == 0) return ConnectWait::kTimedOut;
    if (!IsInterrupted(errno)) return ConnectWait::kError;
    const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    left = rest.count() > 0 ? static_cast<int>(rest.count()) : 0;
  }
}

// poll, for the same reason as above. A signal handler running during the
// wait ends it as a time-out would: the caller looks again.
inline TransferWait WaitUntilReady(SocketHandle s, bool forSend, int milliseconds) {
  const Verdict verdict = Consult(PlatformCall::kTransferWait, s);
  if (verdict != Verdict::kRun)
    return verdict == Verdict::kStandIn ? TransferWait::kReady : TransferWait::kError;
  pollfd entry = {s, static_cast<short>(forSend ? POLLOUT : POLLIN), 0};
  const int n = poll(&entry, 1, milliseconds);
  if (n > 0) return TransferWait::kReady;
  if (n == 0 || IsInterrupted(errno)) return TransferWait::kTimedOut;
  return TransferWait::kError;
}

// getaddrinfo, because gethostbyname shares one result between threads.
inline bool ResolveIPv4(const char* host, std::uint32_t* address) {
  const Verdict verdict = Consult(PlatformCall::kResolve, kInvalidSocket);
  if (verdict != Verdict::kRun) {
    *address = htonl(INADDR_LOOPBACK);
    return verdict == Verdict::kStandIn;
  }
  addrinfo hints = {};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) return false;
  *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return true;
}
#endif

// The pending error of a socket whose non-blocking connect has ended; 0 means
// connected. A failing query counts as an error.
inline int PendingError(SocketHandle s) {
  const Verdict verdict = Consult(PlatformCall::kGetOption, s);
  if (verdict != Verdict::kRun) return verdict == Verdict::kStandIn ? 0 : -1;
  int error = 0;
#ifdef _WIN32
  int size = sizeof(error);
  if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0) return -1;
#else
  socklen_t size = sizeof(error);
  if (getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return -1;
#endif
  return error;
}

}  // namespace link_platform
