// CServerLink: the one connection to the Orla chat server. A worker thread
// makes up to four login attempts, then reads frames and hands each one to
// the user interface as a LinkEvent through an ILinkEventTarget; its
// diagnostic lines go to an ILogSink.
//
// Threads:
// - user-interface thread: Start, Stop, SetLogSink, the destructor,
//   PumpPendingMessages, and SendFrame (frame.h) from the pages;
// - worker thread: LinkWorker, TryLogin, ReadLoginReply, DeliverMessage,
//   PostLinkEvent and the login's SendFrame.
// m_running and m_online are atomics polled by the user-interface thread;
// m_lock is taken only by Start and Stop. The worker never takes a lock: each
// event is a synchronous call into the user-interface thread, which therefore
// never blocks on the worker but serves deliveries while it waits.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "link/link_event.h"
#include "link/log_sink.h"
#include "link/server_address.h"
#include "link/stream_socket.h"

class CServerLink {
 public:
  CServerLink() = default;
  CServerLink(const CServerLink&) = delete;
  CServerLink& operator=(const CServerLink&) = delete;
  // Stops a running worker and joins it before anything goes away.
  virtual ~CServerLink();

  // Where diagnostic lines go (null: nowhere). Set while no worker runs.
  void SetLogSink(ILogSink* sink) { m_log = sink; }

  // Starts a worker for the address ("host:port[@field]") and nickname;
  // events go to target (null: not delivered), which must stay valid until
  // the worker has ended (Stop, a later Start, or the destructor). A worker
  // still running is stopped first. 1 when the worker runs, 0 when no thread
  // could start. Not from inside an event delivery: a worker delivering its
  // last event is joined here.
  // No exception leaves it: a failed allocation is a worker that could not
  // start.
  int Start(ILinkEventTarget* target, const char* address, const char* nickname);
  int Start(ILinkEventTarget* target, const std::string& address, const std::string& nickname) {
    return Start(target, address.c_str(), nickname.c_str());
  }
  // Closes the socket and serves deliveries until the worker has ended, in
  // whatever state it was. 0 when no worker was running, else 1. Never call
  // it from inside an event delivery.
  int Stop();

  // 1 from the accepted login until the receive loop has ended.
  int IsOnline() const { return m_online.load(); }
  int IsRunning() const { return m_running.load(); }
  // The nickname of the last Start ("" before any): the user's own name on
  // the server. User-interface thread.
  const std::string& Nickname() const { return m_nickname; }

  // The connection; SendFrame sends through it.
  CStreamSocket& Socket() { return m_socket; }

 private:
  static int LinkWorker(CServerLink* link);
  int TryLogin();
  int ReadLoginReply(std::uint16_t* length, std::uint16_t* type, char* buffer);
  void ReceiveLoop();
  int DeliverMessage(std::uint16_t length, std::uint16_t type, const char* payload);
  int PostLinkEvent(int code, std::intptr_t value);
  void PumpPendingMessages();
  // Serves deliveries until the worker thread has finished, then joins it.
  void JoinWorker();

  CStreamSocket m_socket;
  std::recursive_mutex m_lock;
  ILinkEventTarget* m_targetWindow = nullptr;
  ILogSink* m_log = nullptr;
  std::string m_nickname;
  // Parsed by Start, so the worker allocates nothing; m_addressUsable is
  // false when the text was not a server address.
  ServerAddress m_address;
  bool m_addressUsable = false;
  std::atomic<int> m_online{0};
  std::atomic<int> m_running{0};
  // Set by Stop; the worker checks it before each attempt and before the
  // receive loop, so a Stop between attempts still ends it. Within an
  // attempt, the socket refuses to connect after Stop.
  std::atomic<int> m_stopRequested{0};
  // Set by the worker after its last event, so the thread can be joined
  // without waiting on a delivery that only this thread could serve.
  std::atomic<int> m_workerDone{1};
  std::thread m_worker;
};
