// The manager page in a test, a benchmark or a screenshot scene: the page
// created on a test window as the page host creates it, its link's events
// and log lines wired to it, read back as a user sees it. UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "link/server_link.h"
#include "tests/support/test_hosts.h"
#include "tests/support/ui_test_support.h"
#include "ui/pages/manager_page.h"

// A manager page on a visible test window (of frameStyle, see CTestWindow),
// its link's events and log lines wired to it the way the page host wires
// them.
class CManagerScene {
 public:
  explicit CManagerScene(CServerLink* link, int width = 720, int height = 560,
                         DWORD frameStyle = WS_OVERLAPPEDWINDOW);
  ~CManagerScene();

  CManagerPage& Page() { return m_page; }
  CTestManagerHost& Host() { return m_host; }
  HWND Item(int id) const { return ::GetDlgItem(m_page.m_hWnd, id); }

  // The index of the status image shown, -1 when it is none of the four.
  int ShownImage() const { return m_page.ShownStatusImage(); }
  std::string ToggleText() const;
  bool ToggleChecked() const;
  // Both edits enabled (true), both disabled (false); a mix fails the test.
  bool EditsEnabled() const;
  std::vector<std::string> Rows() const { return ListRows(Item(IDC_MANAGER_CHANNELS)); }
  std::string Console() const { return WindowText(Item(IDC_MANAGER_SERVER_LOG)); }

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
