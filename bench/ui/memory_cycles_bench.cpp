// The client's memory over connect/disconnect and join/leave cycles: a page
// host in a plain top-level window against the real server, started in this
// process on a loopback port. A connect cycle is the user's: address and
// nickname typed into the manager page, its connect toggle pressed, the
// server's login seen, the toggle pressed again, the server's drop seen. A
// join cycle sends the join the Join button sends, waits for the channel page
// the confirmation opens, and presses the page's Leave button.
//
// After a few warm-up cycles, each round of 100 + 100 cycles prints the
// growth of the process's private bytes (what the system charges it; Wine 8
// reports 0) and pagefile bytes (its committed private memory), of the
// heap blocks the program and framework.dll hold (malloc less free, see
// allocation_counter_windows.h) and of the busy bytes of every heap.
//
//   build/<dir>/bench/ui/memory_cycles_bench.exe [cycles] [rounds]
// Run under Wine through scripts/wine-run.sh (see docs/PERFORMANCE.md).

#include <winsock2.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "allocation_counter_windows.h"
#include "framework/afxwin.h"
#include "link/message_catalogue.h"
#include "process_footprint.h"
#include "server/server.h"
#include "ui/host/page_host_dlg.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"
#include "ui_bench_support.h"

CWinApp theApp("VelmoMemoryCyclesBench");

namespace {

std::atomic<int> g_logins{0};
std::atomic<int> g_drops{0};

// The direct child dialogs of the page host: the manager page and one per
// channel page.
int Pages(HWND host, HWND* last = nullptr) {
  int count = 0;
  for (HWND child = ::GetWindow(host, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    char name[16] = {};
    ::GetClassNameA(child, name, sizeof name);
    if (std::string(name) != "#32770") continue;
    ++count;
    if (last != nullptr && ::GetDlgItem(child, IDC_CHANNEL_LEAVE) != nullptr) *last = child;
  }
  return count;
}

HWND ManagerPage(HWND host) {
  for (HWND child = ::GetWindow(host, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::GetDlgItem(child, IDC_MANAGER_CONNECT) != nullptr) return child;
  }
  return nullptr;
}

void Toggle(HWND manager) {
  ::SendMessageA(::GetDlgItem(manager, IDC_MANAGER_CONNECT), BM_CLICK, 0, 0);
}

void Connect(HWND manager) {
  const int before = g_logins.load();
  Toggle(manager);
  ServeUntil([&] { return g_logins.load() > before; });
}

void Disconnect(HWND manager) {
  const int before = g_drops.load();
  Toggle(manager);
  ServeUntil([&] { return g_drops.load() > before; });
}

void JoinAndLeave(CPageHostDlg& host) {
  SendJoin(host.GetServerLink(), "#memory");
  HWND page = nullptr;
  ServeUntil([&] { return Pages(host.m_hWnd, &page) == 2; });
  ::SendMessageA(::GetDlgItem(page, IDC_CHANNEL_LEAVE), BM_CLICK, 0, 0);
  ServeUntil([&] { return Pages(host.m_hWnd) == 1; });
}

void ConnectCycles(HWND manager, int cycles) {
  for (int i = 0; i < cycles; ++i) {
    Connect(manager);
    Disconnect(manager);
  }
}

void JoinCycles(CPageHostDlg& host, HWND manager, int cycles) {
  Connect(manager);
  for (int i = 0; i < cycles; ++i) JoinAndLeave(host);
  Disconnect(manager);
}

HWND g_serverLog = nullptr;

void PrintGrowth(const char* what, const Footprint& from, const Footprint& to) {
  std::printf(
      "  %s: private bytes %+lld, pagefile bytes %+lld (%lld KiB now), held blocks "
      "%+lld, heap busy bytes %+lld (%lld now); server console %d lines\n",
      what, to.privateBytes - from.privateBytes, to.pagefileBytes - from.pagefileBytes,
      to.pagefileBytes / 1024, to.heldBlocks - from.heldBlocks,
      to.heapBusyBytes - from.heapBusyBytes, to.heapBusyBytes,
      static_cast<int>(::SendMessageA(g_serverLog, EM_GETLINECOUNT, 0, 0)));
}

}  // namespace

int main(int argc, char** argv) {
  const int cycles = argc > 1 ? std::atoi(argv[1]) : 100;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (!StartPluginEnvironment()) return 1;

  orla_server::ServerConfig config;
  config.channels = {{"#memory", "cycles"}, {"#lobby", "a channel in the list"}};
  config.motd = {"welcome", "to the memory benchmark"};
  config.log = [](std::string_view line) {
    if (line.rfind("login ", 0) == 0) ++g_logins;
    if (line.rfind("drop ", 0) == 0) ++g_drops;
  };
  auto server = std::make_unique<orla_server::Server>(config);
  std::string error;
  if (!server->Start(&error)) {
    std::printf("server: %s\n", error.c_str());
    return 1;
  }

  HWND frame = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                 700, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  {
    CPageHostDlg host(CWnd::FromHandle(frame));
    host.Create(CPageHostDlg::IDD, CWnd::FromHandle(frame));
    host.SetWindowPos(nullptr, 0, 0, 880, 640, SWP_NOZORDER | SWP_NOACTIVATE);
    host.ShowWindow(SW_SHOW);
    HWND manager = ManagerPage(host.m_hWnd);
    g_serverLog = ::GetDlgItem(manager, IDC_MANAGER_SERVER_LOG);
    const std::string address = "127.0.0.1:" + std::to_string(server->Port());
    ::SetDlgItemTextA(manager, IDC_MANAGER_ADDRESS, address.c_str());
    ::SetDlgItemTextA(manager, IDC_MANAGER_NICKNAME, "cycler");

    ConnectCycles(manager, 5);
    JoinCycles(host, manager, 5);
    const Footprint start = MeasureFootprint();
    std::printf(
        "after 5 + 5 warm-up cycles: private bytes %lld KiB, held blocks %lld, heap busy "
        "bytes %lld (counted heap imports: %d)\n",
        start.privateBytes / 1024, start.heldBlocks, start.heapBusyBytes, CountedImports());
    Footprint last = start;
    for (int round = 0; round < rounds; ++round) {
      char what[64];
      ConnectCycles(manager, cycles);
      const Footprint connected = MeasureFootprint();
      std::snprintf(what, sizeof what, "round %d, %d connect cycles", round + 1, cycles);
      PrintGrowth(what, last, connected);
      JoinCycles(host, manager, cycles);
      const Footprint joined = MeasureFootprint();
      std::snprintf(what, sizeof what, "round %d, %d join cycles", round + 1, cycles);
      PrintGrowth(what, connected, joined);
      last = joined;
    }
    PrintGrowth("all rounds", start, last);
    host.DestroyWindow();
  }
  ::DestroyWindow(frame);
  server->Stop();
  ::WSACleanup();
  return 0;
}
