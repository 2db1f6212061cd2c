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
#include "server/server_sockets.h"

namespace orla_server {

struct User;

class Connection {
 public:
  enum class State { kAwaitingLogin, kOnline, kClosing };

  Connection(SocketHandle socket, std::string peer, std::size_t outputLimit,
             std::chrono::steady_clock::time_point loginDeadline);
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
  void CloseAfterOutput() { m_state = State::kClosing; }

  bool HasOutput() const { return m_output.size() > m_sent; }
  bool IsDropped() const { return m_dropReason != nullptr; }
  const char* DropReason() const { return m_dropReason; }
  State GetState() const { return m_state; }
  void SetState(State state) { m_state = state; }
  SocketHandle GetSocket() const { return m_socket; }
  const std::string& Peer() const { return m_peer; }
  std::chrono::steady_clock::time_point LoginDeadline() const { return m_loginDeadline; }
  FrameReader& Reader() { return m_reader; }
  User* GetUser() const { return m_user; }
  void SetUser(User* user) { m_user = user; }

 private:
  SocketHandle m_socket;
  std::string m_peer;
  std::size_t m_outputLimit;
  std::chrono::steady_clock::time_point m_loginDeadline;
  State m_state = State::kAwaitingLogin;
  const char* m_dropReason = nullptr;
  User* m_user = nullptr;
  FrameReader m_reader;
  // Unsent output is m_output[m_sent, size); the sent front is discarded when
  // it outgrows the rest, so the buffer stays near the unsent size.
  std::vector<char> m_output;
  std::size_t m_sent = 0;
};

}  // namespace orla_server
