// The manager page in a test: a page host stand-in that hands the page its
// link and event target and records the channel pages it is asked to open,
// the page created on a test window as the page host creates it, and a
// watch that reads and closes the message boxes the page shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "link/server_link.h"
#include "ui/manager_page.h"
#include "ui/manager_page_host.h"
#include "ui/window_link_target.h"
#include "ui_test_support.h"

class CTestManagerHost : public IManagerPageHost {
 public:
  explicit CTestManagerHost(CServerLink* link) : m_link(link) {}
  CServerLink* GetServerLink() override { return m_link; }
  ILinkEventTarget* GetLinkEventTarget() override { return &target; }
  CChannelPage* OpenChannelPage(const char* channelName) override {
    opened.push_back(channelName);
    return nullptr;
  }

  // Events go straight to the page, as the page host forwards them.
  CWindowLinkTarget target;
  std::vector<std::string> opened;

 private:
  CServerLink* m_link;
};

// A manager page on a visible test window, its link's events and log lines
// wired to it the way the page host wires them.
class CManagerScene {
 public:
  explicit CManagerScene(CServerLink* link, int width = 720, int height = 560);
  ~CManagerScene();

  CManagerPage& Page() { return m_page; }
  CTestManagerHost& Host() { return m_host; }
  HWND Item(int id) const { return ::GetDlgItem(m_page.m_hWnd, id); }

  // The index of the status image shown, -1 when it is none of the four.
  int ShownImage() const;
  std::string ToggleText() const;
  bool ToggleChecked() const;
  // Both edits enabled (true), both disabled (false); a mix fails the test.
  bool EditsEnabled() const;
  std::vector<std::string> Rows() const { return ListRows(Item(IDC_MANAGER_CHANNELS)); }
  std::string Console() const { return ConsoleText(Item(IDC_MANAGER_SERVER_LOG)); }

  // WM_LINK_EVENT to the page; its result.
  int Event(int code, std::intptr_t value = 0);
  int Message(unsigned type, const std::string& payload);
  // A real click (BM_CLICK): a check box flips before the page hears of it.
  void Click(int id);
  void SelectRow(int row);
  void SetText(int id, const std::string& text);

 private:
  CTestWindow m_window;
  CTestManagerHost m_host;
  CManagerPage m_page;
};

// Serves this thread's messages until done() holds or timeoutMs passes.
bool PumpUntil(int timeoutMs, bool (*done)(void*), void* context);
template <typename F>
bool PumpUntil(int timeoutMs, F done) {
  return PumpUntil(
      timeoutMs, [](void* f) { return (*static_cast<F*>(f))(); }, &done);
}
void PumpFor(int milliseconds);

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
