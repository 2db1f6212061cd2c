// Helpers shared by the framework and host tests: pumping the UI thread's
// messages the way the framework does, and answering a message box that the
// code under test shows (its caption and text are kept for the test).
#pragma once

#include <string>

#include "framework/afxwin.h"

// Handles every message that is waiting, through CWinThread::PumpMessage.
// A WM_QUIT ends it: it is taken off the queue and the answer is true.
bool PumpPending();

// While alive, closes the next message box this thread shows, recording it.
class MessageBoxAnswer {
 public:
  MessageBoxAnswer();
  ~MessageBoxAnswer();
  bool seen() const;
  std::string caption() const;
  std::string text() const;
};
