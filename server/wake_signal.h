// Wakes the server's loop out of poll from another thread: a connected pair
// of loopback TCP sockets, since WSAPoll takes only sockets (no pipes).
// Open and Drain are for the loop thread; Signal may be called from any.
#pragma once

#include <string>

#include "server/server_sockets.h"

namespace orla_server {

class WakeSignal {
 public:
  WakeSignal() = default;
  ~WakeSignal();
  WakeSignal(const WakeSignal&) = delete;
  WakeSignal& operator=(const WakeSignal&) = delete;

  bool Open(std::string* error);
  // Makes the read end readable. A full socket buffer already means a
  // pending wake, so a send that would block is fine.
  void Signal();
  // Reads away every pending wake.
  void Drain();
  // The end the loop polls for reading.
  SocketHandle GetSocket() const { return m_readEnd; }

 private:
  SocketHandle m_readEnd = kInvalidSocket;
  SocketHandle m_writeEnd = kInvalidSocket;
};

}  // namespace orla_server
