// CLinkCallQueue: the portable event target of the tests, benchmarks and
// fuzz targets (velmo.dll's is a window). A small synchronous call queue: the worker's delivery
// waits until the user-interface thread (the thread that created the queue) has run the listener
// and handed back its result. Same order and synchrony as a window message sent across threads.
//
// Threads: DeliverLinkEvent from any thread; Serve* only on the owning
// (user-interface) thread. No heap memory per call: a waiting call lives on
// its caller's stack.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "link/link_event.h"

class ILinkListener {
 public:
  // Runs on the user-interface thread; returns the receiver's result.
  virtual int OnLinkEvent(int code, std::intptr_t value) = 0;

 protected:
  ~ILinkListener() = default;
};

class CLinkCallQueue : public ILinkEventTarget {
 public:
  explicit CLinkCallQueue(ILinkListener* listener);
  CLinkCallQueue(const CLinkCallQueue&) = delete;
  CLinkCallQueue& operator=(const CLinkCallQueue&) = delete;
  ~CLinkCallQueue() = default;

  int DeliverLinkEvent(int code, std::intptr_t value) override;
  void ServePendingDeliveries() override;

  // The test's message loop: waits up to wait for one delivery and serves
  // it. false when none came.
  bool ServeOne(std::chrono::milliseconds wait);

 private:
  struct Call {
    int code;
    std::intptr_t value;
    int result;
    bool done;
  };
  // Runs the waiting call; lock held on entry and on return.
  void Run(std::unique_lock<std::mutex>& lock);

  ILinkListener* const m_listener;
  const std::thread::id m_owner;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  Call* m_waiting = nullptr;  // the one call handed over, not yet taken
};
