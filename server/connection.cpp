// Bounded output and orderly closing of one client connection.
#include "server/connection.h"

#include <utility>

namespace orla_server {

namespace {

const std::size_t kKeptCapacity = 16 * 1024;

}  // namespace

Connection::Connection(SocketHandle socket, std::string peer, std::size_t outputLimit,
                       std::chrono::steady_clock::time_point loginDeadline)
    : m_socket(socket),
      m_peer(std::move(peer)),
      m_outputLimit(outputLimit),
      m_loginDeadline(loginDeadline) {}

Connection::~Connection() {
  if (IsDropped() && m_state != State::kClosing) {
    // A faulty or vanished client: nothing queued for it is worth keeping.
    AbortSocket(m_socket);
  } else {
    // A refused login leaves with its reason, and at shutdown everyone gets
    // what was sent before: an orderly close.
    ShutdownSend(m_socket);
    ReleaseHandle(m_socket);
  }
}

void Connection::Queue(std::string_view frame) {
  if (IsDropped()) return;
  // Over the bound, the socket gets a chance to take what it can first: a
  // burst of answers to a reading client is no reason to drop it.
  if (m_output.size() - m_sent + frame.size() > m_outputLimit) Flush();
  if (IsDropped()) return;
  if (m_output.size() - m_sent + frame.size() > m_outputLimit) {
    Drop("output limit reached (client not reading)");
    return;
  }
  if (m_sent > 0 && m_sent >= m_output.size() - m_sent) {
    m_output.erase(m_output.begin(), m_output.begin() + static_cast<std::ptrdiff_t>(m_sent));
    m_sent = 0;
  }
  m_output.insert(m_output.end(), frame.begin(), frame.end());
}

void Connection::Flush() {
  while (!IsDropped() && HasOutput()) {
    int n = SendSome(m_socket, m_output.data() + m_sent, CallSize(m_output.size() - m_sent));
    if (n < 0) {
      if (!IsWouldBlock(LastError())) Drop("send failed");
      return;
    }
    m_sent += static_cast<std::size_t>(n);
  }
  if (!HasOutput()) {
    // A burst may have grown the buffer; an idle client keeps only a little.
    if (m_output.capacity() > kKeptCapacity) {
      std::vector<char>().swap(m_output);
    } else {
      m_output.clear();
    }
    m_sent = 0;
    if (m_state == State::kClosing) Drop("closed after its last output");
  }
}

void Connection::Drop(const char* reason) {
  if (m_dropReason == nullptr) m_dropReason = reason;
}

}  // namespace orla_server
