// What the server's sockets need beyond the platform seam it shares with the
// link (link/socket_platform.h: handles, errors, sends, receives, blocking
// mode, the socket library's start-up): waiting on many sockets at once
// (poll / WSAPoll), listening, the two ways a client is closed, and the
// descriptor limit. The server and its tests meet the platform only through
// these two headers. Stateless; any thread.
#pragma once

#include "link/socket_platform.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <netinet/tcp.h>
#include <sys/resource.h>

#include <cstring>
#endif

#include <algorithm>
#include <cstddef>
#include <string>

namespace orla_server {

// The shared seam's calls, by the names the server uses. Sends, receives and
// blocking-mode switches pass its fault seam; the server's handles are
// released with the raw release, as it never opens them through the seam.
using link_platform::IsInterrupted;
using link_platform::IsWouldBlock;
using link_platform::kInvalidSocket;
using link_platform::LastError;
using link_platform::ReceiveSome;
using link_platform::ReleaseHandle;
using link_platform::SendSome;
using link_platform::SetBlocking;
using link_platform::SocketHandle;
using link_platform::StartSockets;
using link_platform::StopSockets;

#ifdef _WIN32
using PollEntry = WSAPOLLFD;

// Too many open sockets: accept would keep failing until one is closed.
inline bool IsOutOfHandles(int error) { return error == WSAEMFILE || error == WSAENOBUFS; }
inline std::string SocketErrorText(int error) { return "WinSock error " + std::to_string(error); }
// SO_EXCLUSIVEADDRUSE, so a second server on the same port fails to bind.
inline void SetListenerOptions(SocketHandle s) {
  BOOL on = TRUE;
  setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
}
inline int PollSockets(PollEntry* entries, std::size_t count, int timeoutMs) {
  return WSAPoll(entries, static_cast<ULONG>(count), timeoutMs);
}
inline void ShutdownSend(SocketHandle s) { shutdown(s, SD_SEND); }
inline void RaiseDescriptorLimit() {}
#else
using PollEntry = pollfd;

inline bool IsOutOfHandles(int error) {
  return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}
inline std::string SocketErrorText(int error) { return std::strerror(error); }
// SO_REUSEADDR only lets a restarted server bind past old TIME_WAIT
// connections; a live listener on the port still makes bind fail.
inline void SetListenerOptions(SocketHandle s) {
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}
inline int PollSockets(PollEntry* entries, std::size_t count, int timeoutMs) {
  return poll(entries, static_cast<nfds_t>(count), timeoutMs);
}
inline void ShutdownSend(SocketHandle s) { shutdown(s, SHUT_WR); }
// Each client is a descriptor; the usual soft limit of 1024 is too few.
inline void RaiseDescriptorLimit() {
  rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
}
#endif

// The most one send or receive is offered: the seam counts bytes in an int.
inline int CallSize(std::size_t size) {
  return static_cast<int>(std::min<std::size_t>(size, 1 << 30));
}

// Closes at once with a reset: whatever output is still queued in the
// system is thrown away instead of lingering for a client that was dropped.
inline void AbortSocket(SocketHandle s) {
  linger option;
  option.l_onoff = 1;
  option.l_linger = 0;
  setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option), sizeof option);
  ReleaseHandle(s);
}

// Small frames go out at once instead of waiting for the peer's ACK.
inline void SetNoDelay(SocketHandle s) {
  int on = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

}  // namespace orla_server
