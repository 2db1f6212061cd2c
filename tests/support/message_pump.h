// Serving the test thread's messages the way the framework's loop does
// (CWinThread::PumpMessage: pre-translation, then dispatch), while a test
// waits for something to happen. UI thread of the windows concerned.
#pragma once

#include "tests/support/hang_bound.h"

// Handles every message that is waiting. A WM_QUIT ends it: it is taken off
// the queue and the answer is true.
bool PumpPending();

// Serves this thread's messages until done() holds (true) or timeoutMs
// passes (false), waiting for messages, never sleeping, in between.
bool PumpUntil(int timeoutMs, bool (*done)(void*), void* context);
template <typename F>
bool PumpUntil(int timeoutMs, F done) {
  return PumpUntil(
      timeoutMs, [](void* f) { return (*static_cast<F*>(f))(); }, &done);
}
void PumpFor(int milliseconds);
