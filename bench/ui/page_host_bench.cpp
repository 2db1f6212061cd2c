// The page host under load, against the platform's floor, in one run.
//
// Hand-off: N chat lines for a channel no page shows go from a scripted
// loopback peer through the real CServerLink, its worker's synchronous
// SendMessage to the page host (CPageHostDlg with its CWindowLinkTarget) and
// on to every page (the manager page and four channel pages), each of which
// looks at the line and passes; the link then writes the line it was not
// given a page for into the manager console. The same lines handed to the
// page host by a CWindowLinkTarget on a plain thread measure the hand-off
// alone; the floor is N bare cross-thread SendMessage calls to a window that
// does nothing. For scale, the same lines for a shown page, where each also
// goes into its chat console.
//
// Joins: U users entering (406) one fresh channel page: the sorted insert,
// two column texts and a console line each; the same with list rows (408),
// which add the row only. The floor is U bare sends plus U inserts of the
// same texts into a sorted list view of the page's kind with its redrawing
// off, redrawn once at the end (the same unsorted, and inserts into a
// visible list, printed beside it). While the users arrive a 10 ms timer of the window's
// thread records the longest time the window could not answer.
//
// Allocations: C heap calls of the program and framework.dll per message
// between the first frame and the last (allocation_counter_windows.h).
//
//   build/<dir>/bench/ui/page_host_bench.exe [lines] [users] [rounds]
// Run under Wine through scripts/wine-run.sh (see docs/PERFORMANCE.md).

#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "allocation_counter_windows.h"
#include "framework/afxwin.h"
#include "link/link_event.h"
#include "link/message_catalogue.h"
#include "ui/host/page_host_dlg.h"
#include "ui/pages/channel_page.h"
#include "ui/seams/window_link_target.h"
#include "ui/ui_messages.h"
#include "ui_bench_support.h"

CWinApp theApp("VelmoPageHostBench");

namespace {

struct Run {
  double seconds;
  double allocationsPerMessage;
  double longestStallMs;
  // Seconds into the delivery when the longest stall ended.
  double longestStallEndedAt;
  int stallsOver100Ms;
};

// Nicknames in an order the sorted list must really sort.
std::string Nickname(int i, int count) {
  char name[16];
  std::snprintf(name, sizeof name, "user%05d", static_cast<int>((i * 7919LL) % count));
  return name;
}

class CBench : public CFedPageHost {
 public:
  explicit CBench(HWND frame) : CFedPageHost(frame, {"#c1", "#c2", "#c3", "#c4"}) {
    FeedUntilHandled(std::string(), Page(0));
  }

  // Sends frames followed by a topic for page, and serves until the topic
  // shows: the time, allocations and longest stall of the whole delivery.
  Run Deliver(std::string frames, CChannelPage* page, int messages = 1) {
    CResponsiveness responsiveness;
    responsiveness.Start();
    const std::uint64_t allocations = HeapAllocations();
    const auto start = BenchClock::now();
    FeedUntilHandled(std::move(frames), page);
    Run run;
    run.seconds = SecondsSince(start);
    run.allocationsPerMessage = double(HeapAllocations() - allocations) / messages;
    run.longestStallMs = responsiveness.Stop();
    run.longestStallEndedAt = responsiveness.LongestEndedAt();
    run.stallsOver100Ms = responsiveness.StallsOver100Ms();
    return run;
  }
};

// Seconds for count chat lines for a channel no page shows, handed to the
// page host by a CWindowLinkTarget on a plain thread: the link's hand-off and
// the pages' handling without the socket, and without the diagnostic line
// the link writes for a message no page took.
double TargetPath(HWND host, int count) {
  static const char kPayload[] = "#elsewhere alice a short chat line";
  std::atomic<bool> done{false};
  const auto start = BenchClock::now();
  std::thread worker([&] {
    CWindowLinkTarget target(host);
    MessageRecord record = {static_cast<std::uint16_t>(sizeof kPayload - 1), MsgChannelText,
                            kPayload};
    for (int i = 0; i < count; ++i)
      target.DeliverLinkEvent(LinkMessage, reinterpret_cast<std::intptr_t>(&record));
    done = true;
  });
  ServeUntil([&] { return done.load(); });
  const double seconds = SecondsSince(start);
  worker.join();
  return seconds;
}

// Seconds for count of the same lines sent to the page host by its own
// thread: the page host and the pages' handling alone.
double SameThread(HWND host, int count) {
  static const char kPayload[] = "#elsewhere alice a short chat line";
  MessageRecord record = {static_cast<std::uint16_t>(sizeof kPayload - 1), MsgChannelText,
                          kPayload};
  const auto start = BenchClock::now();
  for (int i = 0; i < count; ++i)
    ::SendMessageA(host, WM_LINK_EVENT, LinkMessage, reinterpret_cast<LPARAM>(&record));
  return SecondsSince(start);
}

std::string ChatLines(const char* channel, int count) {
  std::string frames;
  for (int i = 0; i < count; ++i)
    frames += FrameBytes(MsgChannelText, std::string(channel) + " alice a short chat line");
  return frames;
}

std::string Joins(const char* channel, unsigned type, int count) {
  std::string frames;
  for (int i = 0; i < count; ++i) {
    frames += FrameBytes(type, std::string(channel) + " " + Nickname(i, count) + " " +
                                   std::to_string(i % 300) + " " + std::to_string(i % 8));
  }
  return frames;
}

// Bare inserts of a nickname and two column texts into a list view like the
// channel page's user list, sorted or not.
double BareInserts(HWND parent, int count, bool sorted, bool held = false) {
  std::vector<ListRow> rows;
  for (int i = 0; i < count; ++i)
    rows.push_back({Nickname(i, count), std::to_string(i % 300), "ISDN"});
  return BareListInserts(parent, sorted ? LVS_SORTASCENDING : 0, {600, 60, 860, 560},
                         kUserListColumns, rows, held);
}

void LeavePage(CChannelPage* page) {
  ::SendMessageA(::GetDlgItem(page->m_hWnd, IDC_CHANNEL_LEAVE), BM_CLICK, 0, 0);
}

// Seconds for the page host to handle count joins of type sent by its own
// thread to a fresh page: the pages' handling alone, without the link and
// the hand-off between threads.
double SameThreadJoins(CBench& bench, unsigned type, int count) {
  std::vector<std::string> payloads;
  for (int i = 0; i < count; ++i) {
    payloads.push_back("#crowd " + Nickname(i, count) + " " + std::to_string(i % 300) + " " +
                       std::to_string(i % 8));
  }
  CChannelPage* crowd = bench.Host().OpenChannelPage("#crowd");
  ServeUntil([] { return true; });
  const auto start = BenchClock::now();
  for (const std::string& payload : payloads) {
    MessageRecord record = {static_cast<std::uint16_t>(payload.size()),
                            static_cast<std::uint16_t>(type), payload.c_str()};
    ::SendMessageA(bench.Host().m_hWnd, WM_LINK_EVENT, LinkMessage,
                   reinterpret_cast<LPARAM>(&record));
  }
  const double seconds = SecondsSince(start);
  LeavePage(crowd);
  return seconds;
}

void HandOff(CBench& bench, HWND frame, int lines, int rounds) {
  std::vector<double> real, shown, floor, target;
  double allocations = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::uint64_t before = HeapAllocations();
    target.push_back(TargetPath(bench.Host().m_hWnd, lines));
    const double targetAllocations = double(HeapAllocations() - before) / lines;
    const double handling = SameThread(bench.Host().m_hWnd, lines);
    const Run passed = bench.Deliver(ChatLines("#elsewhere", lines), bench.Page(0), lines);
    const Run console = bench.Deliver(ChatLines("#c4", lines), bench.Page(0), lines);
    real.push_back(passed.seconds);
    shown.push_back(console.seconds);
    floor.push_back(BareSends(frame, lines));
    allocations = std::max(passed.allocationsPerMessage, console.allocationsPerMessage);
    std::printf(
        "  round %d: bare sends %.1f us; target -> page host -> pages %.1f us (floor/real "
        "%.2f, allocations per line %.3f), of which the pages' handling on the same thread "
        "%.1f us; link, unhandled, logged %.1f us; link, shown in a console %.1f us "
        "(allocations per line %.3f)\n",
        round + 1, floor.back() * 1e6 / lines, target.back() * 1e6 / lines,
        floor.back() / target.back(), targetAllocations, handling * 1e6 / lines,
        real.back() * 1e6 / lines, shown.back() * 1e6 / lines, allocations);
  }
  std::printf(
      "  median per line: bare send %.1f us, target -> page host -> pages %.1f us, "
      "floor/real %.2f; through the link: unhandled (logged) %.1f us, shown in a console "
      "%.1f us\n",
      Median(floor) * 1e6 / lines, Median(target) * 1e6 / lines, Median(floor) / Median(target),
      Median(real) * 1e6 / lines, Median(shown) * 1e6 / lines);
}

void UsersJoining(CBench& bench, HWND frame, int users, int rounds) {
  // Inserts into a visible list take 10-40 ms a row at thousands of rows:
  // timed for at most this many.
  const int visibleRows = std::min(users, 1000);
  std::vector<double> entered, listed, floor, held, heldUnsorted, unsorted, sorted;
  for (int round = 0; round < rounds; ++round) {
    CChannelPage* crowd = bench.Host().OpenChannelPage("#crowd");
    const Run enter = bench.Deliver(Joins("#crowd", MsgUserEntered, users), crowd, users);
    LeavePage(crowd);
    crowd = bench.Host().OpenChannelPage("#crowd");
    const Run list = bench.Deliver(Joins("#crowd", MsgUserListEntry, users), crowd, users);
    LeavePage(crowd);
    entered.push_back(enter.seconds);
    listed.push_back(list.seconds);
    const double enterHere = SameThreadJoins(bench, MsgUserEntered, users);
    const double listHere = SameThreadJoins(bench, MsgUserListEntry, users);
    std::printf("  the pages' handling on the same thread: 406 %.2f s, 408 %.2f s\n", enterHere,
                listHere);
    const double sends = BareSends(frame, users);
    held.push_back(BareInserts(frame, users, true, true));
    heldUnsorted.push_back(BareInserts(frame, users, false, true));
    unsorted.push_back(BareInserts(frame, visibleRows, false));
    sorted.push_back(BareInserts(frame, visibleRows, true));
    floor.push_back(sends + held.back());
    std::printf(
        "  round %d: 406 (row and console line) %.2f s, floor/real %.2f, longest stall %.0f ms "
        "(ended at %.2f s, %d over 100 ms), allocations per message %.3f; 408 (row only) %.2f s, "
        "floor/real %.2f, longest stall %.0f ms (ended at %.2f s, %d over 100 ms); floor %.2f s "
        "(sends %.2f + sorted inserts, redraw off, %.2f; unsorted %.2f); %d rows into a visible "
        "list: unsorted %.2f s, sorted %.2f s\n",
        round + 1, enter.seconds, floor.back() / enter.seconds, enter.longestStallMs,
        enter.longestStallEndedAt, enter.stallsOver100Ms, enter.allocationsPerMessage, list.seconds,
        floor.back() / list.seconds, list.longestStallMs, list.longestStallEndedAt,
        list.stallsOver100Ms, floor.back(), sends, held.back(), heldUnsorted.back(), visibleRows,
        unsorted.back(), sorted.back());
  }
  std::printf(
      "  median: 406 %.2f s (floor/real %.2f), 408 %.2f s (floor/real %.2f), floor %.2f s; "
      "%d rows into a visible list: unsorted %.2f s, sorted %.2f s\n",
      Median(entered), Median(floor) / Median(entered), Median(listed),
      Median(floor) / Median(listed), Median(floor), visibleRows, Median(unsorted), Median(sorted));
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 5000;
  const int users = argc > 2 ? std::atoi(argv[2]) : 10000;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  if (!StartPluginEnvironment()) return 1;
  std::printf("counted heap imports: %d\n", CountedImports());
  HWND frame = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                 700, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  {
    CBench bench(frame);
    std::printf("hand-off of %d chat lines (page host, manager page, 4 channel pages):\n", lines);
    HandOff(bench, frame, lines, rounds);
    std::printf("%d users joining one channel page:\n", users);
    UsersJoining(bench, frame, users, rounds);
  }
  ::DestroyWindow(frame);
  ::WSACleanup();
  return 0;
}
