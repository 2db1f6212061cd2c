// See remote_client.h.
#include "remote_client.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "remote_list_view.h"
#include "ui/core/colours.h"
#include "ui/host/page_host_ids.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"

namespace {

const char kFrameTitle[] = "Orlaマネージャー";

std::string TextOf(HWND window) {
  // The length may count characters where the text has two bytes for each.
  std::vector<char> text(static_cast<std::size_t>(SendToClient(window, WM_GETTEXTLENGTH)) * 2 + 1);
  SendToClient(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

// The children of parent that hold a control with the id, in z order.
std::vector<HWND> ChildrenWith(HWND parent, int id) {
  std::vector<HWND> found;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::GetDlgItem(child, id) != nullptr) found.push_back(child);
  }
  return found;
}

struct HostWindows {
  HWND main = nullptr;
  HWND frame = nullptr;
};

BOOL CALLBACK FindFrameIn(HWND top, LPARAM found) {
  HWND client = ::FindWindowExA(top, nullptr, "MDIClient", nullptr);
  HWND frame = client ? ::FindWindowExA(client, nullptr, nullptr, kFrameTitle) : nullptr;
  if (frame == nullptr) return TRUE;
  *reinterpret_cast<HostWindows*>(found) = {top, frame};
  return FALSE;
}

int RowOf(const std::vector<std::string>& rows, const std::string& text) {
  const auto found = std::find(rows.begin(), rows.end(), text);
  return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

}  // namespace

void FailDriving(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::fflush(stdout);
  std::exit(1);
}

void WaitFor(const std::string& what, DWORD limitMs, const std::function<bool()>& done) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > limitMs) {
      FailDriving(what + " did not happen within " + std::to_string(limitMs / 1000) + " s");
    }
    ::Sleep(50);
  }
}

LRESULT SendToClient(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL,
                             CRemoteClient::kWindowLimitMs, &result)) {
    FailDriving("the client did not answer message " + std::to_string(message));
  }
  return static_cast<LRESULT>(result);
}

void CRemoteClient::FindClient() {
  HostWindows host;
  WaitFor("the window \"Orlaマネージャー\" opening", kWindowLimitMs, [&] {
    ::EnumWindows(FindFrameIn, reinterpret_cast<LPARAM>(&host));
    return host.frame != nullptr;
  });
  m_main = host.main;
  m_frame = host.frame;
  m_pageHost = ::GetWindow(m_frame, GW_CHILD);
  const std::vector<HWND> managers = ChildrenWith(m_pageHost, IDC_MANAGER_CONNECT);
  if (managers.size() != 1) FailDriving("the page host holds no manager page");
  m_manager = managers.front();
}

void CRemoteClient::Connect(const std::string& address, const std::string& nickname,
                            const std::vector<std::string>& channels) {
  ::SetWindowTextA(Manager(IDC_MANAGER_ADDRESS), address.c_str());
  ::SetWindowTextA(Manager(IDC_MANAGER_NICKNAME), nickname.c_str());
  SendToClient(Manager(IDC_MANAGER_CONNECT), BM_CLICK);
  CRemoteListView list(Manager(IDC_MANAGER_CHANNELS));
  if (!list.IsUsable()) FailDriving("cannot reach the channel list's process");
  WaitFor("the channel list filling", kWindowLimitMs, [&] {
    const std::vector<std::string> rows = list.FirstColumn();
    return std::all_of(channels.begin(), channels.end(),
                       [&](const std::string& channel) { return RowOf(rows, channel) >= 0; });
  });
}

HWND CRemoteClient::Join(const std::string& channel) {
  CRemoteListView list(Manager(IDC_MANAGER_CHANNELS));
  const int row = RowOf(list.FirstColumn(), channel);
  if (row < 0 || !list.Select(row))
    FailDriving("cannot select " + channel + " in the channel list");
  const std::vector<HWND> before = ChildrenWith(m_pageHost, IDC_CHANNEL_TOPIC);
  SendToClient(Manager(IDC_MANAGER_JOIN), BM_CLICK);
  HWND page = nullptr;
  WaitFor("the page of " + channel + " opening", kWindowLimitMs, [&] {
    for (HWND candidate : ChildrenWith(m_pageHost, IDC_CHANNEL_TOPIC)) {
      if (std::find(before.begin(), before.end(), candidate) == before.end()) page = candidate;
    }
    return page != nullptr;
  });
  return page;
}

void CRemoteClient::Listen(HWND page, int lines) {
  WaitForConsoleLines(page, ConsoleLines(page) + lines);
}

int CRemoteClient::ConsoleLines(HWND page) {
  return static_cast<int>(SendToClient(::GetDlgItem(page, IDC_CHANNEL_CONSOLE), EM_GETLINECOUNT));
}

void CRemoteClient::WaitForConsoleLines(HWND page, int count) {
  // The demo users speak every 2.5 s on average, spread over their channels.
  WaitFor("the console holding " + std::to_string(count) + " lines", kWindowLimitMs,
          [&] { return ConsoleLines(page) >= count; });
}

void CRemoteClient::Say(HWND page, const std::string& line) {
  HWND console = ::GetDlgItem(page, IDC_CHANNEL_CONSOLE);
  HWND input = ::GetDlgItem(page, IDC_CHANNEL_INPUT);
  ::SetWindowTextA(input, line.c_str());
  const LRESULT before = SendToClient(console, EM_GETLINECOUNT);
  ::PostMessageA(input, WM_KEYDOWN, VK_RETURN, 1);
  // The page empties the input box once the line is sent. The console's
  // text does not cross processes here (its WM_GETTEXT comes back empty),
  // so the echo is known by one line more.
  WaitFor("the line being sent and a line arriving", kWindowLimitMs,
          [&] { return TextOf(input).empty() && SendToClient(console, EM_GETLINECOUNT) > before; });
}

std::vector<std::string> CRemoteClient::Users(HWND page) {
  CRemoteListView list(::GetDlgItem(page, IDC_CHANNEL_USERS));
  if (!list.IsUsable()) FailDriving("cannot reach the user list's process");
  return list.FirstColumn();
}

void CRemoteClient::ClickTab(int index) {
  HWND tabBar = ::GetDlgItem(m_pageHost, IDC_PAGE_HOST_TAB_BAR);
  // Tabs are 154 x 21 pixels, 157 apart in a row and 22 apart between rows.
  const LPARAM point = MAKELPARAM(index % 4 * 157 + 20, index / 4 * 22 + 10);
  SendToClient(tabBar, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendToClient(tabBar, WM_LBUTTONUP, 0, point);
}

bool CRemoteClient::TabMarked(int index) {
  HWND tabBar = ::GetDlgItem(m_pageHost, IDC_PAGE_HOST_TAB_BAR);
  // A mark is a block in the top right-hand corner of the tab's face.
  POINT at = {index % 4 * 157 + 140, index / 4 * 22 + 3};
  ::ClientToScreen(tabBar, &at);
  HDC screen = ::GetDC(nullptr);
  const COLORREF pixel = ::GetPixel(screen, at.x, at.y);
  ::ReleaseDC(nullptr, screen);
  return pixel == kNewsMark || pixel == kMentionMark;
}

void CRemoteClient::CloseHost() {
  ::PostMessageA(m_main, WM_CLOSE, 0, 0);
  WaitFor("the host closing", kWindowLimitMs, [&] { return !::IsWindow(m_main); });
}
