// The manager page's test scene. UI thread only.
#include "tests/support/manager_scene.h"

#include <gtest/gtest.h>

#include "link/link_event.h"
#include "ui/ui_messages.h"

CManagerScene::CManagerScene(CServerLink* link, int width, int height, DWORD frameStyle)
    : m_window(width + 40, height + 60, frameStyle), m_host(link), m_page(&m_host) {
  m_page.Create(CManagerPage::IDD, CWnd::FromHandle(m_window.Handle()));
  m_host.target.SetWindow(m_page.m_hWnd);
  if (link != nullptr) link->SetLogSink(m_page.GetLogSink());
  m_page.SetWindowPos(nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  m_page.ShowWindow(SW_SHOW);
  PumpPending();
}

CManagerScene::~CManagerScene() {
  // The page host stops the link before its pages go.
  if (CServerLink* link = m_host.GetServerLink()) {
    link->Stop();
    link->SetLogSink(nullptr);
  }
  m_window.Destroy();
}

std::string CManagerScene::ToggleText() const { return WindowText(Item(IDC_MANAGER_CONNECT)); }

bool CManagerScene::ToggleChecked() const {
  return ::SendMessageA(Item(IDC_MANAGER_CONNECT), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool CManagerScene::EditsEnabled() const {
  const bool address = ::IsWindowEnabled(Item(IDC_MANAGER_ADDRESS)) != FALSE;
  const bool nickname = ::IsWindowEnabled(Item(IDC_MANAGER_NICKNAME)) != FALSE;
  EXPECT_EQ(address, nickname) << "the two edits disagree";
  return address;
}

int CManagerScene::Event(int code, std::intptr_t value) {
  return static_cast<int>(m_page.SendMessage(WM_LINK_EVENT, static_cast<WPARAM>(code), value));
}

int CManagerScene::Message(unsigned type, const std::string& payload) {
  return SendLinkMessage(m_page.m_hWnd, type, payload);
}

void CManagerScene::Click(int id) { ::SendMessageA(Item(id), BM_CLICK, 0, 0); }

void CManagerScene::SelectRow(int row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(Item(IDC_MANAGER_CHANNELS), LVM_SETITEMSTATE, row,
                 reinterpret_cast<LPARAM>(&item));
}

void CManagerScene::SetText(int id, const std::string& text) {
  ::SetWindowTextA(Item(id), text.c_str());
}
