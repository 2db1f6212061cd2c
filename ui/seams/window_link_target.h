// CWindowLinkTarget: the link's event target on Windows. Each event is a
// synchronous SendMessage of WM_LINK_EVENT (code in wParam, value in lParam)
// to one window, normally the page host, which forwards it to every page.
//
// While Stop waits for the worker, ServePendingDeliveries lets every message
// that another thread has sent to this thread run: the worker's events and
// its console appends (WM_CONSOLE_APPEND) alike, whichever it is waiting in.
// Posted messages stay queued and a WM_QUIT is neither taken nor lost: the
// host's own loop handles them after Stop returns.
//
// Threads: DeliverLinkEvent on the worker (or the window's own thread, where
// the handler runs directly); everything else on the user-interface thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/afxwin.h"
#include "link/link_event.h"

// Runs every message sent to the calling thread from other threads and
// waiting now; dispatches no posted message and removes nothing from the
// queue.
void ServeSentMessages();

class CWindowLinkTarget : public ILinkEventTarget {
 public:
  explicit CWindowLinkTarget(HWND window = nullptr) : m_window(window) {}
  CWindowLinkTarget(const CWindowLinkTarget&) = delete;
  CWindowLinkTarget& operator=(const CWindowLinkTarget&) = delete;

  // For an owner whose window is created after this object. Not while a
  // worker delivers to it.
  void SetWindow(HWND window) { m_window = window; }

  // The window's result; 0 without a window or once it is gone. During a
  // burst of events the worker steps aside now and then, so the window's
  // thread gets to its input, timers and painting between deliveries.
  int DeliverLinkEvent(int code, std::intptr_t value) override;
  void ServePendingDeliveries() override { ServeSentMessages(); }

 private:
  std::atomic<HWND> m_window;
  // When the delivering thread last stepped aside (GetTickCount).
  std::atomic<DWORD> m_lastPause{0};
};
