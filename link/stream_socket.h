// CStreamSocket: one IPv4 TCP client socket with per-call time-outs. Every
// operation that fails on an open socket closes it, and the reason of the
// last failure stays in GetStatus() as a SocketStatus.
//
// Threads: the link's worker connects, receives and closes after its own
// failures; the user-interface thread sends and closes (Stop). Close takes
// the handle out atomically, so when both threads reach it the connection is
// closed once. Close shuts the connection down at once (waking a receive
// blocked in the other thread) but releases the handle only when no
// operation is still inside a call on it: a released POSIX descriptor number
// is reused at once, and a late call must never reach an unrelated one.
// Sends and receives may overlap. No heap memory.
#pragma once

#include <atomic>
#include <cstdint>

#include "link/socket_platform.h"

enum SocketStatus : int {
  StatusOk = 0,
  // Any failure but a time-out: connect while open, a name that does not
  // resolve, a refused connect, a peer that closed, a failing call.
  StatusError = 1,
  StatusTimedOut = 2,
  StatusNotOpen = 3,
};

class CStreamSocket {
 public:
  CStreamSocket() = default;
  CStreamSocket(const CStreamSocket&) = delete;
  CStreamSocket& operator=(const CStreamSocket&) = delete;
  virtual ~CStreamSocket();

  // address in network byte order; the port's low 16 bits are used. A
  // time-out of 0 is a plain blocking connect. 1 connected, 0 failed.
  int Connect(std::uint32_t address, unsigned port, int timeoutSeconds);
  // A dotted address is connected blocking, whatever the time-out; a host
  // name is resolved (first IPv4 address) and connected with the time-out.
  int ConnectHost(const char* host, unsigned port, int timeoutSeconds);

  // One send/receive; time-out in whole seconds, 0 waits without limit.
  // Bytes transferred (at least 1), or -1.
  int SendOnce(const void* data, int length, int timeoutSeconds);
  int ReceiveOnce(void* buffer, int size, int timeoutSeconds);
  // Repeats the single call until length bytes went; each call gets the
  // whole time-out. length, or -1.
  int SendAll(const void* data, int length, int timeoutSeconds);
  int ReceiveAll(void* buffer, int length, int timeoutSeconds);

  // Shuts the connection down (which wakes a receive blocked in another
  // thread), drains it and releases the handle. 1 closed, 0 none was open.
  int Close();
  int GetStatus() const { return m_status.load(); }
  bool IsOpen() const { return m_handle.load() != link_platform::kInvalidSocket; }

 private:
  enum Direction { kSend, kReceive };
  int TransferOnce(Direction direction, char* data, int length, int timeoutSeconds);
  int TransferAll(Direction direction, char* data, int length, int timeoutSeconds);
  int Fail(int status);

  // Operations hold a use while they call the platform with the handle.
  class CUse;
  void EndUse();
  // Parks a closed handle until the last use has ended, then releases it.
  void Retire(link_platform::SocketHandle handle);

  std::atomic<link_platform::SocketHandle> m_handle{link_platform::kInvalidSocket};
  std::atomic<link_platform::SocketHandle> m_retired{link_platform::kInvalidSocket};
  std::atomic<int> m_uses{0};
  std::atomic<int> m_status{StatusOk};
};
