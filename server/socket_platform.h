// The one place where the server (and its tests) meet the socket API of the
// platform: WinSock on Windows, BSD sockets elsewhere. Everything above this
// header is shared code. Any thread may call these functions; they keep no
// state of their own apart from WinSock's start-up count.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#endif

#include <cstddef>
#include <string>

namespace orla_server {

#ifdef _WIN32
using SocketHandle = SOCKET;
using PollEntry = WSAPOLLFD;
const SocketHandle kInvalidSocket = INVALID_SOCKET;

// WinSock counts its users, so every owner of sockets starts and stops it.
inline bool StartSockets() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}
inline void StopSockets() { WSACleanup(); }
inline void CloseSocket(SocketHandle s) { closesocket(s); }
inline int LastSocketError() { return WSAGetLastError(); }
inline bool IsWouldBlock(int error) { return error == WSAEWOULDBLOCK; }
// Too many open sockets: accept would keep failing until one is closed.
inline bool IsOutOfHandles(int error) { return error == WSAEMFILE || error == WSAENOBUFS; }
inline std::string SocketErrorText(int error) { return "WinSock error " + std::to_string(error); }
inline bool SetNonBlocking(SocketHandle s) {
  u_long on = 1;
  return ioctlsocket(s, FIONBIO, &on) == 0;
}
// SO_EXCLUSIVEADDRUSE, so a second server on the same port fails to bind.
inline void SetListenerOptions(SocketHandle s) {
  BOOL on = TRUE;
  setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
}
inline long SendBytes(SocketHandle s, const void* data, std::size_t size) {
  return send(s, static_cast<const char*>(data), static_cast<int>(size), 0);
}
inline long ReceiveBytes(SocketHandle s, void* data, std::size_t size) {
  return recv(s, static_cast<char*>(data), static_cast<int>(size), 0);
}
inline int PollSockets(PollEntry* entries, std::size_t count, int timeout_ms) {
  return WSAPoll(entries, static_cast<ULONG>(count), timeout_ms);
}
inline void ShutdownSend(SocketHandle s) { shutdown(s, SD_SEND); }
inline void RaiseDescriptorLimit() {}
#else
using SocketHandle = int;
using PollEntry = pollfd;
const SocketHandle kInvalidSocket = -1;

inline bool StartSockets() { return true; }
inline void StopSockets() {}
inline void CloseSocket(SocketHandle s) { close(s); }
inline int LastSocketError() { return errno; }
inline bool IsWouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }
inline bool IsOutOfHandles(int error) {
  return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}
inline std::string SocketErrorText(int error) { return std::strerror(error); }
inline bool SetNonBlocking(SocketHandle s) {
  int flags = fcntl(s, F_GETFL, 0);
  return flags >= 0 && fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}
// SO_REUSEADDR only lets a restarted server bind past old TIME_WAIT
// connections; a live listener on the port still makes bind fail.
inline void SetListenerOptions(SocketHandle s) {
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}
// MSG_NOSIGNAL: a peer that vanished gives EPIPE, not a SIGPIPE.
inline long SendBytes(SocketHandle s, const void* data, std::size_t size) {
  return send(s, data, size, MSG_NOSIGNAL);
}
inline long ReceiveBytes(SocketHandle s, void* data, std::size_t size) {
  return recv(s, data, size, 0);
}
inline int PollSockets(PollEntry* entries, std::size_t count, int timeout_ms) {
  return poll(entries, static_cast<nfds_t>(count), timeout_ms);
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

// Closes at once with a reset: whatever output is still queued in the
// system is thrown away instead of lingering for a client that was dropped.
inline void AbortSocket(SocketHandle s) {
  linger option;
  option.l_onoff = 1;
  option.l_linger = 0;
  setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option), sizeof option);
  CloseSocket(s);
}

// Small frames go out at once instead of waiting for the peer's ACK.
inline void SetNoDelay(SocketHandle s) {
  int on = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

}  // namespace orla_server
