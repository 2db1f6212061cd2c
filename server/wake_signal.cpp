// A loopback socket pair used as a wake-up line.
#include "server/wake_signal.h"

#include <cstring>

namespace orla_server {

WakeSignal::~WakeSignal() {
  if (m_readEnd != kInvalidSocket) ReleaseHandle(m_readEnd);
  if (m_writeEnd != kInvalidSocket) ReleaseHandle(m_writeEnd);
}

bool WakeSignal::Open(std::string* error) {
  SocketHandle listener = ::socket(AF_INET, SOCK_STREAM, 0);
  if (listener == kInvalidSocket) {
    *error = "cannot create the wake-up socket: " + SocketErrorText(LastError());
    return false;
  }
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bool ok = bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            listen(listener, 1) == 0 &&
            getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0;
  if (ok) {
    m_writeEnd = ::socket(AF_INET, SOCK_STREAM, 0);
    ok = m_writeEnd != kInvalidSocket &&
         connect(m_writeEnd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  if (ok) {
    m_readEnd = accept(listener, nullptr, nullptr);
    ok = m_readEnd != kInvalidSocket && SetBlocking(m_readEnd, false) &&
         SetBlocking(m_writeEnd, false);
  }
  if (!ok) *error = "cannot open the wake-up sockets: " + SocketErrorText(LastError());
  ReleaseHandle(listener);
  if (ok) SetNoDelay(m_writeEnd);
  return ok;
}

void WakeSignal::Signal() {
  char byte = 1;
  SendSome(m_writeEnd, &byte, 1);
}

void WakeSignal::Drain() {
  char bytes[256];
  while (ReceiveSome(m_readEnd, bytes, static_cast<int>(sizeof bytes)) > 0) {
  }
}

}  // namespace orla_server
