// The platform failing inside velmo.dll: its test build's InstallPlatformFaults
// export reaches the module's own copy of the socket seam; the server in this
// process keeps running on the program's own copy, untouched. One
// connection after another goes through the real manager page, page host
// and channel page (connect, channel list, join, a line, disconnect), each
// with one platform call failing: whatever fails, the session ends with
// exactly one offline or gave-up event, the manager page shows offline and
// ready to connect again, and every socket handle was released once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

#include "client_fixture.h"
#include "link/link_event.h"
#include "tests/support/fault_seam.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/message_pump.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"
#include "ui/ui_messages.h"

namespace {

// The offline and gave-up events the page host has received; the gave-up
// ones of the whole walk.
WNDPROC g_pageHostProc;
int g_endings;
int g_gaveUp;

LRESULT CALLBACK CountEndings(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LINK_EVENT && (wParam == LinkOffline || wParam == LinkGaveUp)) ++g_endings;
  if (message == WM_LINK_EVENT && wParam == LinkGaveUp) ++g_gaveUp;
  return ::CallWindowProcA(g_pageHostProc, window, message, wParam, lParam);
}

}  // namespace

TEST_F(ClientTest, EveryPlatformCallFailingInsideVelmoEndsInOneOfflineStateOnScreen) {
  StartServer();
  StartHost("velmo_fault_walk.dll");
  const auto install = reinterpret_cast<CFaultSeam::Install>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("velmo_fault_walk.dll"), "InstallPlatformFaults")));
  ASSERT_NE(nullptr, install);
  g_pageHostProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(PageHost(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountEndings)));
  const HWND toggle = ManagerItem(IDC_MANAGER_CONNECT);
  int wentOnline = 0;
  int endedByFault = 0;

  // One connection with call number target failing (0: none); the number of
  // calls it made.
  auto session = [&](int target, int error, const std::string& name) {
    SCOPED_TRACE(name);
    std::atomic<int> made{0};
    CFaultSeam seam(
        [&](CFaultSeam::Call, CFaultSeam::Handle) { return ++made == target ? error : 0; },
        install);
    g_endings = 0;
    const auto ended = [] { return g_endings > 0; };
    Type(ManagerItem(IDC_MANAGER_ADDRESS), Address());
    // A name of its own: the server may not have seen the last one go yet.
    Type(ManagerItem(IDC_MANAGER_NICKNAME), "walk" + std::to_string(target));
    Click(toggle);
    PumpUntil([&] { return ended() || StatusColour(ManagerItem(IDC_MANAGER_STATUS)) == 'g'; });
    if (!ended()) {
      ++wentOnline;
      PumpUntil([&] { return ended() || SelectChannelRow("#lobby"); });
      // Gone offline meanwhile, the page says so in a message box.
      CMessageBoxWatch offline;
      Click(ManagerItem(IDC_MANAGER_JOIN));
      PumpUntil([&] { return ended() || ChannelPage("#lobby") != nullptr; });
    }
    if (!ended() && ChannelPage("#lobby") != nullptr) Say("#lobby", "walking");
    if (ended()) ++endedByFault;
    if (!ended()) Click(toggle);
    EXPECT_TRUE(PumpUntil(ended));
    EXPECT_EQ(1, g_endings) << "one offline or gave-up event";
    EXPECT_EQ('r', StatusColour(ManagerItem(IDC_MANAGER_STATUS)));
    EXPECT_EQ("接続", WindowText(toggle));
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageA(toggle, BM_GETCHECK, 0, 0));
    EXPECT_TRUE(::IsWindowEnabled(ManagerItem(IDC_MANAGER_ADDRESS)));
    EXPECT_EQ("", seam.HandleFaults());
    // The next connection starts with no channel page; the link is offline,
    // so leaving sends nothing.
    if (const HWND page = ChannelPage("#lobby")) Click(::GetDlgItem(page, IDC_CHANNEL_LEAVE));
    return made.load();
  };

  g_gaveUp = 0;
  const auto start = std::chrono::steady_clock::now();
  const int calls = session(0, 0, "no fault");
  ASSERT_EQ(1, wentOnline);
  ASSERT_GT(calls, 10);
  int tried = 0;
  for (int error : {link_platform::kErrorReset, link_platform::kErrorTimedOut}) {
    // Thread timing moves a few calls; the margin covers them.
    for (int target = 1; target <= calls + 3; ++target, ++tried)
      session(target, error, "call " + std::to_string(target) + " error " + std::to_string(error));
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "velmo.dll fault walk: %d failure points (%d calls per connection, 2 errors): %d went "
      "online, %d ended before the user disconnected, %d gave up; %.1f s (%.2f s per connection)\n",
      tried, calls, wentOnline - 1, endedByFault, g_gaveUp, seconds, seconds / (tried + 1));
  ::SetWindowLongPtrA(PageHost(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pageHostProc));
}
