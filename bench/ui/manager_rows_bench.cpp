// Channel-list rows (618) through the real path against the platform floor
// for the same work, in one run. Real: a loopback peer accepts the login
// and sends N rows; the link's worker reads each frame and hands it to the
// user-interface thread with a synchronous SendMessage (CWindowLinkTarget),
// where the manager page copies, splits and inserts it. Floor: N bare
// cross-thread SendMessage calls to a window that does nothing, plus N bare
// inserts of the same three texts into a list view of the same kind with its
// redrawing off, redrawn once at the end (as the page holds its list's
// redrawing while rows arrive); inserts into a visible list, for at most
// 1,000 rows, printed beside it.
//
//   build/<dir>/bench/ui/manager_rows_bench.exe [rows] [rounds]
// Run under Wine through scripts/wine-run.sh (see docs/PERFORMANCE.md).

#include <winsock2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "link/link_event.h"
#include "link/server_link.h"
#include "tests/support/manager_scene.h"
#include "tests/support/peer.h"
#include "ui/core/manager_rules.h"
#include "ui/pages/manager_page.h"
#include "ui_bench_support.h"

CWinApp theApp("VelmoManagerRowsBench");

namespace {

std::string RowText(int i) { return "#channel" + std::to_string(i); }

// Seconds from the page going online to its list holding rows rows.
double RealPath(int rows) {
  std::string frames;
  for (int i = 0; i < rows; ++i) {
    frames += FrameBytes(618, RowText(i) + " " + std::to_string(i % 50) + " a topic of some words");
  }
  CScriptedPeer peer([&](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    connection.Send(frames);
    connection.WaitForClose();
  });
  CServerLink link;
  CManagerScene scene(&link, 700, 520);
  link.Start(scene.Host().GetLinkEventTarget(), peer.Address(), "bench");
  ServeUntil([&] { return scene.ShownImage() == kImageOnline; });
  const auto start = BenchClock::now();
  ServeUntil([&] { return scene.Page().m_channelList.GetItemCount() >= rows; });
  return SecondsSince(start);
}

// The rows the real path gets, as a bare list is given them.
std::vector<ListRow> Rows(int count) {
  std::vector<ListRow> rows;
  for (int i = 0; i < count; ++i)
    rows.push_back({RowText(i), std::to_string(i % 50), "a topic of some words"});
  return rows;
}

// Bare inserts into a list view like the page's channel list.
double BareInserts(HWND parent, int count, bool held) {
  return BareListInserts(parent, 0, {10, 10, 670, 310}, kChannelListColumns, Rows(count), held);
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (!StartPluginEnvironment()) return 1;
  HWND frame = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 760,
                                 600, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);

  // Inserts into a visible list take 10-40 ms a row at thousands of rows.
  const int visibleRows = std::min(rows, 1000);
  std::vector<double> real, sends, inserts, floors;
  for (int round = 0; round < rounds; ++round) {
    real.push_back(RealPath(rows));
    sends.push_back(BareSends(frame, rows));
    inserts.push_back(BareInserts(frame, rows, true));
    floors.push_back(sends.back() + inserts.back());
    const double visible = BareInserts(frame, visibleRows, false);
    std::printf(
        "round %d: real %.3f s; floor %.3f s (sends %.3f s + inserts, redraw off, %.3f s); "
        "floor/real %.2f; %d rows into a visible list %.3f s\n",
        round + 1, real.back(), floors.back(), sends.back(), inserts.back(),
        floors.back() / real.back(), visibleRows, visible);
  }
  std::printf(
      "median of %d rounds, %d rows: real %.3f s (%.1f us/row), floor %.3f s, "
      "floor/real %.2f\n",
      rounds, rows, Median(real), Median(real) * 1e6 / rows, Median(floors),
      Median(floors) / Median(real));
  ::DestroyWindow(frame);
  ::WSACleanup();
  return 0;
}
