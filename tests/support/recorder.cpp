// The transcript of link events and log lines.
#include "tests/support/recorder.h"

#include <cstdio>
#include <cstring>

int CLinkRecorder::OnLinkEvent(int code, std::intptr_t value) {
  switch (code) {
    case LinkGaveUp:
      Add("gave up " + std::to_string(value));
      return 0;
    case LinkConnecting:
      Add("connecting");
      return 0;
    case LinkOnline:
      Add("online");
      return 0;
    case LinkOffline:
      Add("offline");
      return 0;
    case LinkMessage: {
      const MessageRecord& record = *reinterpret_cast<const MessageRecord*>(value);
      // The payload as a terminated text: a byte left behind would show.
      Add("message " + std::to_string(record.type) + " " + std::to_string(record.length) + " " +
          std::string(record.payload));
      return onMessage ? onMessage(record) : 1;
    }
  }
  Add("unknown event " + std::to_string(code));
  return 0;
}

void CLinkRecorder::AppendLine(LogColour colour, const char* text) {
  if (colour == kDiagnosticColour) {
    Add(std::string("diag ") + text);
    return;
  }
  char name[16];
  std::snprintf(name, sizeof(name), "%06x ", static_cast<unsigned>(colour));
  Add(name + std::string(text));
}

void CLinkRecorder::AppendWhiteLine(const char* text) { Add(std::string("white ") + text); }

void CLinkRecorder::Add(std::string entry) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_entries.push_back(std::move(entry));
}

std::vector<std::string> CLinkRecorder::Transcript() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_entries;
}

void CLinkRecorder::Clear() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_entries.clear();
  m_stopWaiting = false;
}

int CLinkRecorder::Count(const std::string& text) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  int count = 0;
  for (const std::string& entry : m_entries) count += entry == text ? 1 : 0;
  return count;
}

bool ServeUntil(CLinkCallQueue& queue, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangBoundMs);
  while (!done() && std::chrono::steady_clock::now() < deadline)
    queue.ServeOne(std::chrono::milliseconds(10));
  return done();
}
