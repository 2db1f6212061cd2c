// Which windows of this thread are sent one message, in order: a
// WH_CALLWNDPROC hook on the thread while the log lives. One log at a time.
// UI thread only.
#pragma once

#include <vector>

#include "framework/afxwin.h"

class CSentMessageLog {
 public:
  explicit CSentMessageLog(UINT message);
  CSentMessageLog(const CSentMessageLog&) = delete;
  CSentMessageLog& operator=(const CSentMessageLog&) = delete;
  ~CSentMessageLog() { Stop(); }

  // Stops recording; what was recorded stays.
  void Stop();
  const std::vector<HWND>& Receivers() const { return m_receivers; }
  // How many times window was sent the message.
  int CountFor(HWND window) const;

 private:
  static LRESULT CALLBACK OnCall(int code, WPARAM wParam, LPARAM lParam);
  static CSentMessageLog* s_current;
  UINT m_message;
  HHOOK m_hook;
  std::vector<HWND> m_receivers;
};
