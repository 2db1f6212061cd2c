// The link's one meeting point with the platform's socket API: WinSock 2 on
// Windows, BSD sockets elsewhere. It maps handles, error codes, blocking
// mode, the time-out options (milliseconds in a DWORD on WinSock, a timeval
// on POSIX) and the wait for a pending connect. Everything above it, the
// stream socket included, is shared code. Stateless; any thread.
//
// The socket library is never started here: on Windows the host process
// calls WSAStartup before the first connect (tests do it in their main).
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
#include <sys/time.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <cstring>

namespace link_platform {

// How a wait for a pending connect ended.
enum class ConnectWait { kReady, kFailed, kTimedOut, kError };

#ifdef _WIN32
using SocketHandle = SOCKET;
const SocketHandle kInvalidSocket = INVALID_SOCKET;
const int kSendFlags = 0;

inline int LastError() { return WSAGetLastError(); }
inline bool IsConnectPending(int error) { return error == WSAEWOULDBLOCK; }
inline bool IsTimedOut(int error) { return error == WSAETIMEDOUT; }
// WinSock calls are not interrupted by signals.
inline bool IsInterrupted(int) { return false; }
inline void ReleaseHandle(SocketHandle s) { closesocket(s); }
inline void ShutdownBoth(SocketHandle s) { shutdown(s, SD_BOTH); }
inline void PrepareNewSocket(SocketHandle) {}

inline bool SetBlocking(SocketHandle s, bool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

// SO_SNDTIMEO / SO_RCVTIMEO hold a count of milliseconds.
inline bool GetTimeoutMs(SocketHandle s, int option, long* ms) {
  DWORD value = 0;
  int size = sizeof(value);
  if (getsockopt(s, SOL_SOCKET, option, reinterpret_cast<char*>(&value), &size) != 0) return false;
  *ms = static_cast<long>(value);
  return true;
}
inline bool SetTimeoutMs(SocketHandle s, int option, long ms) {
  DWORD value = static_cast<DWORD>(ms);
  return setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof(value)) ==
         0;
}

// A refused connect shows only in the except set; the write set alone would
// wait out the whole time-out.
inline ConnectWait WaitForConnect(SocketHandle s, int seconds) {
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval limit = {seconds, 0};
  int n = select(0, nullptr, &writable, &failed, &limit);
  if (n < 0) return ConnectWait::kError;
  if (FD_ISSET(s, &failed)) return ConnectWait::kFailed;
  if (FD_ISSET(s, &writable)) return ConnectWait::kReady;
  return ConnectWait::kTimedOut;
}

// gethostbyname keeps its result per thread on WinSock.
inline bool ResolveIPv4(const char* host, std::uint32_t* address) {
  hostent* entry = gethostbyname(host);
  if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_addr_list[0] == nullptr)
    return false;
  in_addr first;
  memcpy(&first, entry->h_addr_list[0], sizeof(first));
  *address = first.s_addr;
  return true;
}

#else
using SocketHandle = int;
const SocketHandle kInvalidSocket = -1;
// A send to a peer that has gone must fail, not raise SIGPIPE in the host.
#ifdef MSG_NOSIGNAL
const int kSendFlags = MSG_NOSIGNAL;
#else
const int kSendFlags = 0;
#endif

inline int LastError() { return errno; }
inline bool IsConnectPending(int error) { return error == EINPROGRESS; }
inline bool IsTimedOut(int error) { return error == EAGAIN || error == EWOULDBLOCK; }
// A signal handler ran during the call (one installed without SA_RESTART).
inline bool IsInterrupted(int error) { return error == EINTR; }
inline void ReleaseHandle(SocketHandle s) { close(s); }
inline void ShutdownBoth(SocketHandle s) { shutdown(s, SHUT_RDWR); }
inline void PrepareNewSocket(SocketHandle s) {
#ifdef SO_NOSIGPIPE
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof(on));
#else
  (void)s;
#endif
}

inline bool SetBlocking(SocketHandle s, bool blocking) {
  int flags = fcntl(s, F_GETFL, 0);
  if (flags < 0) return false;
  flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return fcntl(s, F_SETFL, flags) == 0;
}

inline bool GetTimeoutMs(SocketHandle s, int option, long* ms) {
  timeval value = {0, 0};
  socklen_t size = sizeof(value);
  if (getsockopt(s, SOL_SOCKET, option, &value, &size) != 0) return false;
  *ms = static_cast<long>(value.tv_sec) * 1000 + static_cast<long>(value.tv_usec) / 1000;
  return true;
}
inline bool SetTimeoutMs(SocketHandle s, int option, long ms) {
  timeval value = {static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000 * 1000)};
  return setsockopt(s, SOL_SOCKET, option, &value, sizeof(value)) == 0;
}

// poll rather than select: a descriptor above FD_SETSIZE must not overrun an
// fd_set. A refused connect reports POLLOUT with POLLERR; SO_ERROR tells.
inline ConnectWait WaitForConnect(SocketHandle s, int seconds) {
  pollfd entry = {s, POLLOUT, 0};
  int n = poll(&entry, 1, seconds * 1000);
  if (n < 0) return ConnectWait::kError;
  if (n == 0) return ConnectWait::kTimedOut;
  return ConnectWait::kReady;
}

// getaddrinfo, because gethostbyname shares one result between threads.
inline bool ResolveIPv4(const char* host, std::uint32_t* address) {
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
