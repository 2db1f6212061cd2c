// The manager page's test scene and the message box watch. UI thread only.
#include "manager_page_fixture.h"

#include <gtest/gtest.h>

#include <chrono>

#include "link/link_event.h"
#include "ui/ui_messages.h"

CManagerScene::CManagerScene(CServerLink* link, int width, int height)
    : m_window(width + 40, height + 60), m_host(link), m_page(&m_host) {
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

int CManagerScene::ShownImage() const {
  const auto shown = reinterpret_cast<HBITMAP>(
      ::SendMessageA(Item(IDC_MANAGER_STATUS), STM_GETIMAGE, IMAGE_BITMAP, 0));
  for (int i = 0; i < 4; ++i) {
    if (shown != nullptr && static_cast<HBITMAP>(m_page.m_statusBitmaps[i]) == shown) return i;
  }
  return -1;
}

std::string CManagerScene::ToggleText() const {
  char text[64] = {};
  ::GetWindowTextA(Item(IDC_MANAGER_CONNECT), text, sizeof(text));
  return text;
}

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
  MessageRecord record = {static_cast<std::uint16_t>(payload.size()),
                          static_cast<std::uint16_t>(type), payload.c_str()};
  return Event(LinkMessage, reinterpret_cast<std::intptr_t>(&record));
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

bool PumpUntil(int timeoutMs, bool (*done)(void*), void* context) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done(context)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    PumpPending();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(int milliseconds) {
  PumpUntil(milliseconds, [] { return false; });
}

CMessageBoxWatch* CMessageBoxWatch::s_current = nullptr;

CMessageBoxWatch::CMessageBoxWatch() {
  s_current = this;
  m_timer = ::SetTimer(nullptr, 0, 30, &CMessageBoxWatch::OnTimer);
}

CMessageBoxWatch::~CMessageBoxWatch() {
  ::KillTimer(nullptr, m_timer);
  s_current = nullptr;
}

std::vector<std::string> CMessageBoxWatch::Texts() const {
  std::vector<std::string> texts;
  for (const Box& box : m_seen) texts.push_back(box.text);
  return texts;
}

BOOL CALLBACK CMessageBoxWatch::ReadAndClose(HWND window, LPARAM) {
  char className[32] = {};
  ::GetClassNameA(window, className, sizeof(className));
  if (lstrcmpA(className, "#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
  Box box;
  char text[256] = {};
  ::GetWindowTextA(window, text, sizeof(text));
  box.caption = text;
  box.owner = ::GetWindow(window, GW_OWNER);
  // The box's text is its static control with text (the icon's has none).
  for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    char childClass[32] = {};
    ::GetClassNameA(child, childClass, sizeof(childClass));
    char childText[256] = {};
    ::GetWindowTextA(child, childText, sizeof(childText));
    if (lstrcmpiA(childClass, "Static") == 0 && childText[0] != '\0') box.text = childText;
  }
  s_current->m_seen.push_back(box);
  ::SendMessageA(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK CMessageBoxWatch::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (s_current != nullptr) ::EnumThreadWindows(::GetCurrentThreadId(), &ReadAndClose, 0);
}
