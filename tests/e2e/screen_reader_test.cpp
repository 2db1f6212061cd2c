// What a screen reader hears of the client, read from another process
// (accessible_reader.exe, beside this program), while an event hook here
// records what the tab bar announces; F6 round the panes; the tab bar's
// object outliving its window.
// Before windows.h, which would otherwise bring the old socket header.
#include <winsock2.h>
//
#include <windows.h>
//
#include <oleacc.h>

#include <fstream>

#include "client_fixture.h"
#include "tests/support/key_press.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"

namespace {

// The tab bar's events, as "selection 2" (the child id: tab index + 1).
std::vector<std::string>* g_events = nullptr;
HWND g_tabBar = nullptr;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
  // From EVENT_OBJECT_REORDER (0x8004) on; "name" and "description" change.
  static const char* const kNames[] = {"reorder", "focus", "selection", 0,      0,
                                       0,         0,       0,           "name", "description"};
  if (g_events != nullptr && window == g_tabBar && object == OBJID_CLIENT &&
      kNames[event - EVENT_OBJECT_REORDER])
    g_events->push_back(kNames[event - EVENT_OBJECT_REORDER] + (" " + std::to_string(child)));
}

}  // namespace

class ScreenReaderTest : public ClientTest {
 protected:
  // What the reader in another process reads of the windows, line by line;
  // this thread serves the client meanwhile.
  std::vector<std::string> Read(const std::vector<HWND>& windows) {
    const std::string folder = VelmoPath().substr(0, VelmoPath().rfind('\\') + 1);
    const std::string output = folder + "reading.txt";
    std::string command = "\"" + folder + "accessible_reader.exe\" \"" + output + "\"";
    for (HWND window : windows) command += " " + std::to_string(reinterpret_cast<UINT_PTR>(window));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ::DeleteFileA(output.c_str());
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
      return {"the reader did not start"};
    EXPECT_TRUE(PumpUntil([&] { return ::WaitForSingleObject(process.hProcess, 0) == 0; }));
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    std::ifstream file(output, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }
};

TEST_F(ScreenReaderTest, HearsTheTabsTheirMarksAndWhatEachControlIs) {
  StartServer();
  StartHost();
  std::vector<std::string> events;
  g_events = &events;
  g_tabBar = TabBar();
  HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_DESCRIPTIONCHANGE,
                                         nullptr, RecordEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(nullptr, hook);
  auto bob = Peer("bob", {"#lobby", "#dev"});
  ConnectAs("velmo");

  const struct {
    const char* name;
    std::function<void()> act;
    std::vector<std::string> heard;   // the tab bar, read from the other process
    std::vector<std::string> events;  // what it announced meanwhile
  } steps[] = {
      {"a joined channel's tab is shown",
       [&] { Join("#lobby"); },
       {"page tab list \"\"", "  page tab \"Orlaネットワーク\"", "  page tab \"#lobby\" selected"},
       {"reorder 0", "selection 2", "focus 2"}},
      {"Ctrl+PgDn moves the selection round to the manager's tab",
       [&] {
         Join("#dev");
         events.clear();
         ::SetFocus(::GetDlgItem(ChannelPage("#dev"), IDC_CHANNEL_INPUT));
         Press(kNextTab);
       },
       {"page tab list \"\"", "  page tab \"Orlaネットワーク\" selected", "  page tab \"#lobby\"",
        "  page tab \"#dev\""},
       {"selection 1", "focus 1"}},
      {"hidden tabs say they have news, or a line naming the user",
       [&] {
         bob->Send(402, "#lobby anyone here?");
         bob->Send(402, "#dev velmo: the build is green");
         ASSERT_TRUE(PumpUntil([&] { return events.size() >= 2; }));
       },
       {"page tab list \"\"", "  page tab \"Orlaネットワーク\" selected",
        "  page tab \"#lobby\" (新着発言)", "  page tab \"#dev\" (自分の名前を含む発言)"},
       {"description 2", "description 3"}},
      {"showing a tab clears its mark",
       [&] { Press(AltDigit('3')); },
       {"page tab list \"\"", "  page tab \"Orlaネットワーク\"", "  page tab \"#lobby\" (新着発言)",
        "  page tab \"#dev\" selected"},
       {"description 3", "selection 3", "focus 3"}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    events.clear();
    step.act();
    PumpPending();
    EXPECT_EQ(step.heard, Read({TabBar()}));
    EXPECT_EQ(step.events, events);
  }
  ::UnhookWinEvent(hook), g_events = nullptr;

  // The channel page's panes by their names, each not what it holds.
  const HWND dev = ChannelPage("#dev");
  Type(::GetDlgItem(dev, IDC_CHANNEL_INPUT), "half a line");
  std::vector<std::string> names =
      Read({::GetDlgItem(dev, IDC_CHANNEL_CONSOLE), ::GetDlgItem(dev, IDC_CHANNEL_USERS),
            ::GetDlgItem(dev, IDC_CHANNEL_INPUT)});
  // The roles are the system's own objects'.
  for (std::string& line : names) line.erase(0, line.find('"'));
  EXPECT_EQ((std::vector<std::string>{"\"チャット\"", "\"ユーザーリスト\"", "\"発言欄\""}), names);

  // F6 and Shift+F6 round the shown page's panes, here and on the manager's
  // page (whose address is disabled while online: its round starts at the
  // connect toggle).
  const auto focusAfter = [](std::vector<int> shifts) {
    std::vector<HWND> visited;
    for (int shift : shifts) Press({VK_F6, shift}), visited.push_back(::GetFocus());
    return visited;
  };
  ::SetFocus(::GetDlgItem(dev, IDC_CHANNEL_INPUT));
  EXPECT_EQ((std::vector<HWND>{
                ::GetDlgItem(dev, IDC_CHANNEL_CONSOLE), ::GetDlgItem(dev, IDC_CHANNEL_USERS),
                ::GetDlgItem(dev, IDC_CHANNEL_INPUT), ::GetDlgItem(dev, IDC_CHANNEL_USERS)}),
            focusAfter({kPlain, kPlain, kPlain, kShift}));
  Press(AltDigit('1'));
  EXPECT_EQ(
      (std::vector<HWND>{ManagerItem(IDC_MANAGER_SERVER_LOG), ManagerItem(IDC_MANAGER_CHANNELS),
                         ManagerItem(IDC_MANAGER_CONNECT)}),
      focusAfter({kPlain, kPlain, kPlain}));

  // A reader's default action on a tab shows it; once the window has gone,
  // the object it holds fails its calls, never crashes.
  IAccessible* bar = nullptr;
  ASSERT_HRESULT_SUCCEEDED(::AccessibleObjectFromWindow(
      TabBar(), OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&bar)));
  VARIANT lobbyTab = {};
  lobbyTab.vt = VT_I4, lobbyTab.lVal = 2;
  EXPECT_HRESULT_SUCCEEDED(bar->accDoDefaultAction(lobbyTab));
  EXPECT_EQ(ChannelPage("#lobby"), VisiblePage()) << "a tab's default action shows its page";
  CloseHost();
  LONG count = 0;
  EXPECT_HRESULT_FAILED(bar->get_accChildCount(&count));
  bar->Release();
}
