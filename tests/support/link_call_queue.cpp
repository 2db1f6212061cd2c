// The synchronous call queue. See link_call_queue.h for the threads.
#include "tests/support/link_call_queue.h"

CLinkCallQueue::CLinkCallQueue(ILinkListener* listener)
    : m_listener(listener), m_owner(std::this_thread::get_id()) {}

int CLinkCallQueue::DeliverLinkEvent(int code, std::intptr_t value) {
  if (std::this_thread::get_id() == m_owner) return m_listener->OnLinkEvent(code, value);
  Call call = {code, value, 0, false};
  std::unique_lock<std::mutex> lock(m_mutex);
  // One call is handed over at a time; further callers queue up here.
  m_changed.wait(lock, [this] { return m_waiting == nullptr; });
  m_waiting = &call;
  m_changed.notify_all();
  m_changed.wait(lock, [&call] { return call.done; });
  return call.result;
}

void CLinkCallQueue::Run(std::unique_lock<std::mutex>& lock) {
  Call* call = m_waiting;
  m_waiting = nullptr;
  lock.unlock();
  // The listener runs unlocked: it may send, or serve deliveries itself.
  const int result = m_listener->OnLinkEvent(call->code, call->value);
  lock.lock();
  call->result = result;
  call->done = true;
  m_changed.notify_all();
}

void CLinkCallQueue::ServePendingDeliveries() {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (m_waiting != nullptr) Run(lock);
}

bool CLinkCallQueue::ServeOne(std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (!m_changed.wait_for(lock, wait, [this] { return m_waiting != nullptr; })) return false;
  Run(lock);
  return true;
}
