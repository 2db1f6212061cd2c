// What the link reported, in order: a listener (run on the test's
// user-interface thread through a CLinkCallQueue) and a log sink (called on
// the worker) writing into one transcript, so a test can check that lines
// and events came in the right order. Entries read like
//   "connecting", "online", "offline", "gave up 1", "message 403 10 ch nick hi" (type, length,
//   text), "diag Recv: [0002][0003] ok\r\n", "white Connect 失敗\r\n".
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/log_sink.h"
#include "tests/support/hang_bound.h"
#include "tests/support/link_call_queue.h"

class CLinkRecorder : public ILinkListener, public ILogSink {
 public:
  // Runs inside each LinkMessage delivery, on the user-interface thread;
  // its result is the listener's answer. Without one the answer is handled.
  std::function<int(const MessageRecord&)> onMessage;

  int OnLinkEvent(int code, std::intptr_t value) override;
  void AppendLine(LogColour colour, const char* text) override;
  void AppendWhiteLine(const char* text) override;
  // A link serves its sink only while Stop waits for the worker: this tells
  // a test (or a peer's script) that Stop has begun to wait.
  void ServePendingAppends() override { m_stopWaiting = true; }
  bool StopWaiting() const { return m_stopWaiting.load(); }

  std::vector<std::string> Transcript() const;
  // Entries that equal text.
  int Count(const std::string& text) const;
  bool Has(const std::string& text) const { return Count(text) > 0; }
  void Clear();

 private:
  void Add(std::string entry);

  mutable std::mutex m_mutex;
  std::vector<std::string> m_entries;
  std::atomic<bool> m_stopWaiting{false};
};

// The test's message loop: serves deliveries until done() holds or the hang
// bound passes. Returns done().
bool ServeUntil(CLinkCallQueue& queue, const std::function<bool()>& done);
