// A loopback socket pair used as a wake-up line.
#include "server/wake_signal.h"

#include <cstring>

namespace orla_server {

WakeSignal::~WakeSignal() {
  if (read_end_ != kInvalidSocket) CloseSocket(read_end_);
  if (write_end_ != kInvalidSocket) CloseSocket(write_end_);
}

bool WakeSignal::Open(std::string* error) {
  SocketHandle listener = ::socket(AF_INET, SOCK_STREAM, 0);
  if (listener == kInvalidSocket) {
    *error = "cannot create the wake-up socket: " + SocketErrorText(LastSocketError());
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
    write_end_ = ::socket(AF_INET, SOCK_STREAM, 0);
    ok = write_end_ != kInvalidSocket &&
         connect(write_end_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  if (ok) {
    read_end_ = accept(listener, nullptr, nullptr);
    ok = read_end_ != kInvalidSocket && SetNonBlocking(read_end_) && SetNonBlocking(write_end_);
  }
  if (!ok) *error = "cannot open the wake-up sockets: " + SocketErrorText(LastSocketError());
  CloseSocket(listener);
  if (ok) SetNoDelay(write_end_);
  return ok;
}

void WakeSignal::Signal() {
  char byte = 1;
  SendBytes(write_end_, &byte, 1);
}

void WakeSignal::Drain() {
  char bytes[256];
  while (ReceiveBytes(read_end_, bytes, sizeof bytes) > 0) {
  }
}

}  // namespace orla_server
