// The demo's scripted tour: from a process of its own it drives the client
// in a running palaver.exe the way a person would (texts typed into the
// edits, clicks on buttons and tabs, Enter in an input box) and stops at
// three sights for a screenshot:
//   online   the manager page connected: message of the day, channel list
//   channel  the first channel, with the demo users' lines and one of ours
//   tabs     every channel joined, two rows of tabs
// At each sight it prints "ready NAME LEFT TOP WIDTH HEIGHT" (the host
// window's place on the screen) and waits for the file NAME.done in the
// shots folder, which the demo script makes once the picture is taken.
// Finally it closes the host as its user would.
//
//   demo_tour.exe ADDRESS NICKNAME SHOTS_FOLDER CHANNEL...
//
// Every wait is for a window or a text, with a time limit; a limit passed
// ends the tour with exit code 1 and the reason on standard error.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "remote_list_view.h"
#include "ui/channel_page_ids.h"
#include "ui/manager_page_ids.h"
#include "ui/page_host_ids.h"

namespace {

const char kFrameTitle[] = "Orlaマネージャー";
const DWORD kWindowLimitMs = 30000;
// The demo users speak every 2.5 s on average, spread over their channels.
const DWORD kChatLimitMs = 120000;
const char kOurLine[] = "hello from Velmo! こんにちは";

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "demo_tour: %s\n", what.c_str());
  std::exit(1);
}

void Wait(const std::string& what, DWORD limitMs, const std::function<bool()>& done) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > limitMs) {
      Fail(what + " did not happen within " + std::to_string(limitMs / 1000) + " s");
    }
    ::Sleep(50);
  }
}

// A message to the client's thread; a client stuck in a message box fails
// the tour instead of hanging it.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result)) {
    Fail("the client did not answer message " + std::to_string(message));
  }
  return static_cast<LRESULT>(result);
}

std::string TextOf(HWND window) {
  // The length may count characters where the text has two bytes for each.
  std::vector<char> text(static_cast<std::size_t>(Send(window, WM_GETTEXTLENGTH)) * 2 + 1);
  Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
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

class CTour {
 public:
  CTour(std::string address, std::string nickname, std::string shots)
      : m_address(std::move(address)), m_nickname(std::move(nickname)), m_shots(std::move(shots)) {}

  void FindClient() {
    Wait("the window \"Orlaマネージャー\" opening", kWindowLimitMs, [&] {
      ::EnumWindows(FindFrameIn, reinterpret_cast<LPARAM>(&m_host));
      return m_host.frame != nullptr;
    });
    m_pageHost = ::GetWindow(m_host.frame, GW_CHILD);
    const std::vector<HWND> managers = ChildrenWith(m_pageHost, IDC_MANAGER_CONNECT);
    if (managers.size() != 1) Fail("the page host holds no manager page");
    m_manager = managers.front();
  }

  void Connect(const std::vector<std::string>& channels) {
    ::SetWindowTextA(Manager(IDC_MANAGER_ADDRESS), m_address.c_str());
    ::SetWindowTextA(Manager(IDC_MANAGER_NICKNAME), m_nickname.c_str());
    Send(Manager(IDC_MANAGER_CONNECT), BM_CLICK);
    CRemoteListView list(Manager(IDC_MANAGER_CHANNELS));
    if (!list.IsUsable()) Fail("cannot reach the channel list's process");
    Wait("the channel list filling", kWindowLimitMs, [&] {
      const std::vector<std::string> rows = list.FirstColumn();
      return std::all_of(channels.begin(), channels.end(),
                         [&](const std::string& channel) { return RowOf(rows, channel) >= 0; });
    });
  }

  // Joins from the list as a person does and returns the channel's new page.
  HWND Join(const std::string& channel) {
    CRemoteListView list(Manager(IDC_MANAGER_CHANNELS));
    const int row = RowOf(list.FirstColumn(), channel);
    if (row < 0 || !list.Select(row)) Fail("cannot select " + channel + " in the channel list");
    const std::vector<HWND> before = ChildrenWith(m_pageHost, IDC_CHANNEL_TOPIC);
    Send(Manager(IDC_MANAGER_JOIN), BM_CLICK);
    HWND page = nullptr;
    Wait("the page of " + channel + " opening", kWindowLimitMs, [&] {
      for (HWND candidate : ChildrenWith(m_pageHost, IDC_CHANNEL_TOPIC)) {
        if (std::find(before.begin(), before.end(), candidate) == before.end()) page = candidate;
      }
      return page != nullptr;
    });
    return page;
  }

  // Waits until the page's console has had lines more lines: the demo
  // users talking.
  void Listen(HWND page, int lines) {
    HWND console = ::GetDlgItem(page, IDC_CHANNEL_CONSOLE);
    const LRESULT start = Send(console, EM_GETLINECOUNT);
    Wait("the demo users talking", kChatLimitMs,
         [&] { return Send(console, EM_GETLINECOUNT) >= start + lines; });
  }

  // Says one line in the page.
  void Say(HWND page) {
    HWND console = ::GetDlgItem(page, IDC_CHANNEL_CONSOLE);
    HWND input = ::GetDlgItem(page, IDC_CHANNEL_INPUT);
    ::SetWindowTextA(input, kOurLine);
    const LRESULT before = Send(console, EM_GETLINECOUNT);
    ::PostMessageA(input, WM_KEYDOWN, VK_RETURN, 1);
    // The page empties the input box once the line is sent. The console's
    // text does not cross processes here (its WM_GETTEXT comes back empty),
    // so the echo is known by one line more.
    Wait("our line being sent and a line arriving", kWindowLimitMs,
         [&] { return TextOf(input).empty() && Send(console, EM_GETLINECOUNT) > before; });
  }

  void ClickTab(int index) {
    HWND tabBar = ::GetDlgItem(m_pageHost, IDC_PAGE_HOST_TAB_BAR);
    // Tabs are 154 x 21 pixels, 157 apart in a row and 22 apart between rows.
    const LPARAM point = MAKELPARAM(index % 4 * 157 + 20, index / 4 * 22 + 10);
    Send(tabBar, WM_LBUTTONDOWN, MK_LBUTTON, point);
    Send(tabBar, WM_LBUTTONUP, 0, point);
  }

  // Lets the demo script take its picture of the host window.
  void Sight(const char* name) {
    // The round trip lets the client finish what it was doing; the pause
    // lets the X server show the repainted windows.
    Send(m_host.main, WM_NULL);
    ::Sleep(500);
    RECT place;
    ::GetWindowRect(m_host.main, &place);
    std::printf("ready %s %ld %ld %ld %ld\n", name, place.left, place.top, place.right - place.left,
                place.bottom - place.top);
    std::fflush(stdout);
    const std::string done = m_shots + "\\" + name + ".done";
    Wait(std::string("the screenshot ") + name, kWindowLimitMs,
         [&] { return ::GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; });
  }

  void CloseHost() {
    ::PostMessageA(m_host.main, WM_CLOSE, 0, 0);
    Wait("the host closing", kWindowLimitMs, [&] { return !::IsWindow(m_host.main); });
  }

 private:
  HWND Manager(int id) const { return ::GetDlgItem(m_manager, id); }

  static int RowOf(const std::vector<std::string>& rows, const std::string& channel) {
    const auto found = std::find(rows.begin(), rows.end(), channel);
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
  }

  std::string m_address;
  std::string m_nickname;
  std::string m_shots;
  HostWindows m_host;
  HWND m_pageHost = nullptr;
  HWND m_manager = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: demo_tour ADDRESS NICKNAME SHOTS_FOLDER CHANNEL...\n");
    return 2;
  }
  const std::vector<std::string> channels(argv + 4, argv + argc);
  CTour tour(argv[1], argv[2], argv[3]);
  tour.FindClient();
  tour.Connect(channels);
  tour.Sight("online");
  std::vector<HWND> pages = {tour.Join(channels.front())};
  tour.Listen(pages.front(), 6);
  tour.Say(pages.front());
  tour.Sight("channel");
  for (std::size_t i = 1; i < channels.size(); ++i) pages.push_back(tour.Join(channels[i]));
  // Tab 0 is the manager page: tab 2 shows the second channel.
  tour.ClickTab(2);
  if (pages.size() > 1) tour.Listen(pages[1], 5);
  tour.Sight("tabs");
  tour.CloseHost();
  std::printf("tour done\n");
  return 0;
}
