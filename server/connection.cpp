// Bounded output and orderly closing of one client connection.
#include "server/connection.h"

#include <utility>

namespace orla_server {

namespace {

const std::size_t kKeptCapacity = 16 * 1024;

}  // namespace

Connection::Connection(SocketHandle socket, std::string peer, std::size_t output_limit,
                       std::chrono::steady_clock::time_point login_deadline)
    : socket_(socket),
      peer_(std::move(peer)),
      output_limit_(output_limit),
      login_deadline_(login_deadline) {}

Connection::~Connection() {
  if (dropped() && state_ != State::kClosing) {
    // A faulty or vanished client: nothing queued for it is worth keeping.
    AbortSocket(socket_);
  } else {
    // A refused login leaves with its reason, and at shutdown everyone gets
    // what was sent before: an orderly close.
    ShutdownSend(socket_);
    CloseSocket(socket_);
  }
}

void Connection::Queue(std::string_view frame) {
  if (dropped()) return;
  // Over the bound, the socket gets a chance to take what it can first: a
  // burst of answers to a reading client is no reason to drop it.
  if (output_.size() - sent_ + frame.size() > output_limit_) Flush();
  if (dropped()) return;
  if (output_.size() - sent_ + frame.size() > output_limit_) {
    Drop("output limit reached (client not reading)");
    return;
  }
  if (sent_ > 0 && sent_ >= output_.size() - sent_) {
    output_.erase(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(sent_));
    sent_ = 0;
  }
  output_.insert(output_.end(), frame.begin(), frame.end());
}

void Connection::Flush() {
  while (!dropped() && HasOutput()) {
    long n = SendBytes(socket_, output_.data() + sent_, output_.size() - sent_);
    if (n < 0) {
      if (!IsWouldBlock(LastSocketError())) Drop("send failed");
      return;
    }
    sent_ += static_cast<std::size_t>(n);
  }
  if (!HasOutput()) {
    // A burst may have grown the buffer; an idle client keeps only a little.
    if (output_.capacity() > kKeptCapacity) {
      std::vector<char>().swap(output_);
    } else {
      output_.clear();
    }
    sent_ = 0;
    if (state_ == State::kClosing) Drop("closed after its last output");
  }
}

void Connection::Drop(const char* reason) {
  if (drop_reason_ == nullptr) drop_reason_ = reason;
}

}  // namespace orla_server
