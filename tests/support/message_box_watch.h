// Reading and closing the message boxes the code under test shows, from a
// timer on the showing thread (a box runs its own modal loop). UI thread
// only.
#pragma once

#include <string>
#include <vector>

#include "framework/afxwin.h"

// While it lives, every message box this thread shows (in its own modal
// loop) is read and closed with OK from a timer on this thread.
class CMessageBoxWatch {
 public:
  struct Box {
    std::string caption;
    std::string text;
    HWND owner;
  };
  CMessageBoxWatch();
  ~CMessageBoxWatch();
  const std::vector<Box>& Seen() const { return m_seen; }
  // The text of every box seen, in order.
  std::vector<std::string> Texts() const;

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  static BOOL CALLBACK ReadAndClose(HWND window, LPARAM);
  static CMessageBoxWatch* s_current;
  UINT_PTR m_timer;
  std::vector<Box> m_seen;
};
