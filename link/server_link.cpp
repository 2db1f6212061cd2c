// CServerLink: start and stop, the login attempts and the receive loop. See
// server_link.h for which thread runs what.
#include "link/server_link.h"

#include <cstring>
#include <exception>

#include "link/frame.h"
#include "link/message_catalogue.h"

namespace {

const int kLoginAttempts = 4;
const int kConnectTimeoutSeconds = 10;
const int kLoginReplyTimeoutSeconds = 10;
// The header read of the receive loop waits without limit: an idle link
// costs nothing. Each piece of a payload must come within this time.
const int kPayloadTimeoutSeconds = 5;

}  // namespace

CServerLink::~CServerLink() {
  Stop();
  JoinWorker();
}

int CServerLink::Start(ILinkEventTarget* target, const char* address, const char* nickname) {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  // One worker at a time: a running one is stopped, a finished one reaped.
  Stop();
  JoinWorker();
  m_targetWindow = target;
  m_online = 0;
  m_stopRequested = 0;
  m_socket.AllowConnects();
  m_workerDone = 0;
  // Raised before the thread exists, so a Stop right after Start finds it.
  m_running = 1;
  try {
    m_nickname = nickname != nullptr ? nickname : "";
    m_address = ServerAddress();
    m_addressUsable = address != nullptr && *address != '\0' &&
                      ParseServerAddress(address, &m_address);
    m_worker = std::thread(LinkWorker, this);
  } catch (const std::exception&) {
    // No thread (std::system_error), or no memory for the texts or the
    // thread's state (std::bad_alloc).
    m_running = 0;
    m_workerDone = 1;
    return 0;
  }
  return 1;
}

int CServerLink::Stop() {
  if (m_running == 0) return 0;
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  m_stopRequested = 1;
  // Wakes a receive the worker is blocked in; an attempt in progress fails,
  // and one still looking up the server's name opens no socket after it.
  m_socket.CloseAndRefuse();
  JoinWorker();
  return 1;
}

void CServerLink::JoinWorker() {
  // The worker's last events are synchronous calls into this thread: serve
  // them rather than block, and join once the thread is past them.
  while (m_workerDone == 0) {
    PumpPendingMessages();
    std::this_thread::yield();
  }
  if (m_worker.joinable()) m_worker.join();
}

void CServerLink::PumpPendingMessages() {
  if (m_targetWindow != nullptr) m_targetWindow->ServePendingDeliveries();
  // The worker may be waiting in a log line rather than an event, and with
  // no target at all only the sink can serve it.
  if (m_log != nullptr) m_log->ServePendingAppends();
}

int CServerLink::PostLinkEvent(int code, std::intptr_t value) {
  if (m_targetWindow == nullptr) return 0;
  return m_targetWindow->DeliverLinkEvent(code, value);
}

int CServerLink::DeliverMessage(std::uint16_t length, std::uint16_t type, const char* payload) {
  MessageRecord record = {length, type, payload};
  if (PostLinkEvent(LinkMessage, reinterpret_cast<std::intptr_t>(&record)) != 0) return 1;
  LogLine(m_log, kDiagnosticColour, "[%04u][%04u] %s\r\n", length, type, payload);
  return 0;
}

int CServerLink::ReadLoginReply(std::uint16_t* length, std::uint16_t* type, char* buffer) {
  unsigned char header[kFrameHeaderSize] = {};
  FrameHeader frame = {0, 0};
  const FrameRead result = ReadFrame(m_socket, header, buffer, kLoginReplyTimeoutSeconds,
                                     kLoginReplyTimeoutSeconds, &frame);
  if (result == FrameRead::kHeaderFailed) {
    LogLine(m_log, kDiagnosticColour,
            "Recv: [XXXX][XXXX] Header Recv Failed![RecvLen = %d ErrorCode = %u]\r\n", -1,
            static_cast<unsigned>(m_socket.GetStatus()));
    return 0;
  }
  *length = frame.length;
  *type = frame.type;
  // A reply too long for the buffer is refused unread, like a short one.
  if (result != FrameRead::kOk) {
    LogLine(m_log, kDiagnosticColour, "Recv: [%04u][%04u] Data Recv Failed!\r\n", frame.length,
            frame.type);
    return 0;
  }
  if (frame.length == 0) {
    LogLine(m_log, kDiagnosticColour, "Recv: [%04u][%04u] No Data Message\r\n", 0u, frame.type);
  } else {
    LogLine(m_log, kDiagnosticColour, "Recv: [%04u][%04u] %s\r\n", frame.length, frame.type,
            buffer);
  }
  return 1;
}

int CServerLink::TryLogin() {
  char reply[kFrameBufferSize];
  std::memset(reply, 0, sizeof(reply));
  std::uint16_t length = 0;
  std::uint16_t type = 0;

  if (!m_addressUsable) return 0;
  const ServerAddress& address = m_address;
  if (!m_socket.ConnectHost(address.host.c_str(), address.port, kConnectTimeoutSeconds)) {
    LogWhiteLine(m_log, "Connect 失敗\r\n");
    return 0;
  }
  // A Stop just after the connect closed this socket: nothing is sent.
  if (m_stopRequested != 0) {
    m_socket.Close();
    return 0;
  }
  if (!SendLogin(this, m_nickname.c_str(), address.secondField.c_str())) {
    m_socket.Close();
    return 0;
  }
  // The pages' frames may follow the login from here on.
  m_socket.OpenToAnyThread();
  if (!ReadLoginReply(&length, &type, reply)) {
    m_socket.Close();
    return 0;
  }
  if (type == MsgLoginAccepted) return 1;
  LogWhiteLine(m_log, "ログイン失敗\r\n");
  m_socket.Close();
  return 0;
}

void CServerLink::ReceiveLoop() {
  char buffer[kFrameBufferSize];
  std::memset(buffer, 0, sizeof(buffer));
  for (;;) {
    FrameHeader frame;
    // The header goes into the buffer's first bytes; the payload over it.
    if (ReadFrame(m_socket, reinterpret_cast<unsigned char*>(buffer), buffer, 0,
                  kPayloadTimeoutSeconds, &frame) != FrameRead::kOk)
      return;
    DeliverMessage(frame.length, frame.type, buffer);
    std::memset(buffer, 0, sizeof(buffer));
  }
}

int CServerLink::LinkWorker(CServerLink* link) {
  link->PostLinkEvent(LinkConnecting, 0);
  int loggedIn = 0;
  for (int attempt = 0; attempt < kLoginAttempts && link->m_stopRequested == 0 && !loggedIn;
       ++attempt)
    loggedIn = link->TryLogin();
  // Never online after a Stop: its Close may have come just after the reply.
  if (loggedIn && link->m_stopRequested != 0) {
    link->m_socket.Close();
    loggedIn = 0;
  }

  if (!loggedIn) {
    link->m_running = 0;
    link->PostLinkEvent(LinkGaveUp, 1);
  } else {
    link->m_online = 1;
    link->PostLinkEvent(LinkOnline, 0);
    link->ReceiveLoop();
    link->m_socket.Close();
    link->m_online = 0;
    link->m_running = 0;
    link->PostLinkEvent(LinkOffline, 0);
  }
  // The worker's last touch of the link.
  link->m_workerDone = 1;
  return 0;
}
