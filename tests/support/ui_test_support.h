// Helpers shared by the UI tests and scenes: a plain top-level window to hold pages and consoles, a
// channel page opened and fed as the page host does, and a link whose socket is connected to a
// scripted loopback peer that records every frame it receives.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "link/server_link.h"
#include "tests/support/control_reading.h"
#include "tests/support/message_pump.h"
#include "tests/support/test_hosts.h"
#include "ui/pages/channel_page.h"

// A visible top-level window at the screen's top-left corner, destroyed
// with the object; a scene to be captured asks for WS_POPUP (no border).
class CTestWindow {
 public:
  CTestWindow(int width = 640, int height = 420, DWORD style = WS_OVERLAPPEDWINDOW);
  ~CTestWindow();
  HWND Handle() const { return m_hWnd; }
  // Destroys the window now (its children go with it).
  void Destroy();

 private:
  HWND m_hWnd;
};

// Orders the changes and paints a control sees, one counter for both, so
// "painted after its last change" can be read off: the control's procedure
// is wrapped while the object lives (the control may go first).
class CChangePaintWatch {
 public:
  // changeMessage: the message that changes the control (EM_REPLACESEL,
  // LVM_INSERTITEMA).
  CChangePaintWatch(HWND control, UINT changeMessage);
  ~CChangePaintWatch();
  CChangePaintWatch(const CChangePaintWatch&) = delete;
  CChangePaintWatch& operator=(const CChangePaintWatch&) = delete;
  bool PaintedAfterLastChange() const { return m_lastPaint > m_lastChange; }
  bool Changed() const { return m_lastChange > 0; }
  int Paints() const { return m_paints; }

 private:
  static LRESULT CALLBACK Watch(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND m_control;
  UINT m_changeMessage;
  WNDPROC m_next;
  int m_seq = 0;
  int m_lastChange = 0;
  int m_lastPaint = 0;
  int m_paints = 0;
};

// A rich edit control, child of parent, of the chat console's template styles.
HWND CreateRichEdit(HWND parent, int id, int x, int y, int width, int height);

// A frame as the peer received it.
struct ReceivedFrame {
  unsigned type;
  std::string payload;
};

// A CServerLink whose socket is connected to a scripted loopback peer; the
// peer records every frame until the link closes. No worker runs: the pages
// send on this thread.
class CPeerLink {
 public:
  CPeerLink();
  ~CPeerLink();
  CServerLink* Link() { return &m_link; }
  // The next frame the peer received, waiting up to timeoutMs; false when
  // none came.
  bool NextFrame(ReceivedFrame* frame, int timeoutMs = kHangBoundMs);
  // true when no frame comes within timeoutMs.
  bool NoFrame(int timeoutMs = 300);

 private:
  struct Shared;
  std::shared_ptr<Shared> m_shared;
  std::unique_ptr<class CScriptedPeer> m_peer;
  CServerLink m_link;
};

// A channel page of channel (or a private page of that person), created as
// a visible child of parent at the template's size and laid out. The page
// deletes itself when its window goes.
CChannelPage* OpenTestPage(IChannelPageHost* host, HWND parent, const char* channel,
                           int width = 600, int height = 360, PageKind kind = PageKind::kChannel);

// Sends one received message to window as the link delivers it
// (WM_LINK_EVENT, LinkMessage); the window's answer.
int SendLinkMessage(HWND window, unsigned type, const std::string& payload);
// Delivers one received message to the page as the page host would.
int DeliverMessage(CChannelPage* page, unsigned type, const std::string& payload);
