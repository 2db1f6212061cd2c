// One client's TCP connection: its socket, the frames it is assembling, and
// its bounded output queue. Created, used and destroyed on the server's loop
// thread only. A connection is never closed where a problem is found: it is
// marked dropped with a reason, and the loop closes it at the end of a pass,
// so code that is iterating over users never sees one vanish.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "server/frame_reader.h"
#include "server/socket_platform.h"

namespace orla_server {

struct User;

class Connection {
 public:
  enum class State { kAwaitingLogin, kOnline, kClosing };

  Connection(SocketHandle socket, std::string peer, std::size_t output_limit,
             std::chrono::steady_clock::time_point login_deadline);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Appends a whole frame to the output. If the unsent output would pass the
  // limit (a client that stopped reading), the frame is not queued and the
  // connection is dropped.
  void Queue(std::string_view frame);
  // Sends as much queued output as the socket takes now. Drops the
  // connection on a send error; a closing connection is dropped once all its
  // output is gone.
  void Flush();
  // Marks the connection for closing; the first reason given is kept.
  void Drop(const char* reason);
  // Sends what is queued, then closes (a refused login).
  void CloseAfterOutput() { state_ = State::kClosing; }

  bool HasOutput() const { return output_.size() > sent_; }
  bool dropped() const { return drop_reason_ != nullptr; }
  const char* drop_reason() const { return drop_reason_; }
  State state() const { return state_; }
  void set_state(State state) { state_ = state; }
  SocketHandle socket() const { return socket_; }
  const std::string& peer() const { return peer_; }
  std::chrono::steady_clock::time_point login_deadline() const { return login_deadline_; }
  FrameReader& reader() { return reader_; }
  User* user() const { return user_; }
  void set_user(User* user) { user_ = user; }

 private:
  SocketHandle socket_;
  std::string peer_;
  std::size_t output_limit_;
  std::chrono::steady_clock::time_point login_deadline_;
  State state_ = State::kAwaitingLogin;
  const char* drop_reason_ = nullptr;
  User* user_ = nullptr;
  FrameReader reader_;
  // Unsent output is output_[sent_, size); the sent front is discarded when
  // it outgrows the rest, so the buffer stays near the unsent size.
  std::vector<char> output_;
  std::size_t sent_ = 0;
};

}  // namespace orla_server
