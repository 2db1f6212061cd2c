// Chat lines for eleven busy channels: the real page host (CPageHostDlg) with
// eleven channel pages, the real CServerLink, and a scripted loopback peer
// that sends chat lines (403, about 150 characters with Japanese text) as
// fast as the client takes them. Every console is first filled past its
// 1000-line cap, so every line also trims the console's oldest.
//
// Lines per second for lines going to
//   - the shown page (the last tab, selected);
//   - one hidden page;
//   - the 11 pages in turn, one line each;
//   - the 11 pages in turn, ten lines each;
// each with the longest wait of a 10 ms timer of the window's thread (how
// long the user could not be answered), and spread / one page in the same
// round. A marker topic for the last page ends each delivery; every page is
// then shown once, as the user would look at them, before the next round.
//
// With a number of minutes after the rounds, lines then stream into the 11
// pages in turn for that long, printing the process's memory every minute
// (process_footprint.h). With "reader" after the minutes, an event hook
// listens to every accessibility event of the process as a screen reader
// does, and the count it heard is printed.
//
//   build/<dir>/bench/ui/many_pages_bench.exe [lines] [rounds] [minutes] [reader]
// Run under Wine through scripts/wine-run.sh (see docs/PERFORMANCE.md).

#include <winsock2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "busy_channels.h"
#include "framework/afxwin.h"
#include "link/message_catalogue.h"
#include "process_footprint.h"
#include "tests/support/frame_bytes.h"
#include "ui/host/page_host_dlg.h"
#include "ui/pages/channel_page.h"
#include "ui_bench_support.h"

CWinApp theApp("VelmoManyPagesBench");

namespace {

const int kPages = CPageHostDlg::kMaxChannelPages;

// Which page each line of a delivery goes to.
enum class Spread { OnePage, InTurn, BurstsOfTen };

std::string Lines(int count, Spread spread, int onePage, int* numbers) {
  std::string frames;
  for (int i = 0; i < count; ++i) {
    int page = onePage;
    if (spread == Spread::InTurn) page = i % kPages;
    if (spread == Spread::BurstsOfTen) page = (i / 10) % kPages;
    frames += FrameBytes(MsgChannelText, BusyChatPayload(page, numbers[page]++));
  }
  return frames;
}

struct Run {
  double linesPerSecond;
  double longestStallMs;
};

class CManyPages : public CFedPageHost {
 public:
  explicit CManyPages(HWND frame) : CFedPageHost(frame, BusyChannelNames(kPages)) {}

  // The page the last OpenChannelPage selected.
  int ShownPage() const { return kPages - 1; }

  // Lines to every page until its console is at its cap: every line after
  // that trims the oldest.
  void Fill() {
    for (int page = 0; page < kPages; ++page) {
      while (ConsoleLines(page) < kChatConsoleStyle.lineCap - 10)
        Deliver(Lines(100, Spread::OnePage, page, m_numbers), 0);
    }
  }

  // count lines spread as told; the rate counts the lines, the marker topic
  // that ends the delivery aside.
  Run Deliver(Spread spread, int count, int onePage = 0) {
    return Deliver(Lines(count, spread, onePage, m_numbers), count);
  }

  // Shows every page in turn and the last one again, each painted at once.
  void LookAtEveryPage() {
    for (int page = 0; page < kPages; ++page) Select(page);
    Select(ShownPage());
  }

  long long ConsoleLines(int page) {
    return ::SendDlgItemMessageA(Page(page)->m_hWnd, IDC_CHANNEL_CONSOLE, EM_GETLINECOUNT, 0, 0);
  }

 private:
  Run Deliver(std::string frames, int count) {
    CResponsiveness responsiveness;
    responsiveness.Start();
    const auto start = BenchClock::now();
    FeedUntilHandled(std::move(frames), Page(kPages - 1));
    Run run;
    run.linesPerSecond = count / SecondsSince(start);
    run.longestStallMs = responsiveness.Stop();
    return run;
  }

  // Brings the page forward as its tab's click does, painted at once.
  void Select(int page) {
    Host().OpenChannelPage(Page(page)->ChannelName());
    ::UpdateWindow(Host().m_hWnd);
    ServeUntil([] { return true; });
  }

  int m_numbers[kPages] = {};
};

void Rounds(CManyPages& bench, int lines, int rounds) {
  const char* names[] = {"one page shown", "one page hidden", "11 pages in turn",
                         "11 pages, bursts of 10"};
  std::vector<double> rates[4], stalls[4], ratios;
  for (int round = 0; round < rounds; ++round) {
    const Run runs[] = {bench.Deliver(Spread::OnePage, lines, bench.ShownPage()),
                        bench.Deliver(Spread::OnePage, lines, 0),
                        bench.Deliver(Spread::InTurn, lines),
                        bench.Deliver(Spread::BurstsOfTen, lines)};
    bench.LookAtEveryPage();
    std::printf("  round %d:", round + 1);
    for (int i = 0; i < 4; ++i) {
      rates[i].push_back(runs[i].linesPerSecond);
      stalls[i].push_back(runs[i].longestStallMs);
      std::printf(" %s %.0f/s (stall %.0f ms);", names[i], runs[i].linesPerSecond,
                  runs[i].longestStallMs);
    }
    const double onePage = std::min(runs[0].linesPerSecond, runs[1].linesPerSecond);
    const double spread = std::min(runs[2].linesPerSecond, runs[3].linesPerSecond);
    ratios.push_back(spread / onePage);
    std::printf(" spread / one page %.2f\n", ratios.back());
  }
  std::printf("median of %d rounds of %d lines:\n", rounds, lines);
  double longest = 0;
  for (int i = 0; i < 4; ++i) {
    std::printf("  %-24s %6.0f lines/s, longest stall %.0f ms\n", names[i], Median(rates[i]),
                Median(stalls[i]));
    for (double stall : stalls[i]) longest = std::max(longest, stall);
  }
  std::printf(
      "  spread / one page (slower spread over slower one page) %.2f; longest stall of all "
      "rounds %.0f ms\n",
      Median(ratios), longest);
}

// Lines for the 11 pages in turn, kLongRunLinesPerSecond of them (a busy
// evening, not the most the client takes: the run measures memory), printing
// the footprint every minute.
void LongRun(CManyPages& bench, int minutes) {
  const int kChunk = 110;
  const int kLongRunLinesPerSecond = 220;
  std::printf("%d minutes of %d lines/s to the 11 pages in turn:\n", minutes,
              kLongRunLinesPerSecond);
  const auto start = BenchClock::now();
  long long delivered = 0;
  for (int minute = 0; minute <= minutes; ++minute) {
    const Footprint now = MeasureFootprint();
    std::printf(
        "  minute %2d: %lld lines, pagefile bytes %lld KiB, private bytes %lld KiB, heap busy "
        "bytes %lld KiB, held blocks %lld; console lines of page 1 %lld\n",
        minute, delivered, now.pagefileBytes / 1024, now.privateBytes / 1024,
        now.heapBusyBytes / 1024, now.heldBlocks, bench.ConsoleLines(0));
    std::fflush(stdout);
    while (minute < minutes && SecondsSince(start) < 60.0 * (minute + 1)) {
      bench.Deliver(Spread::InTurn, kChunk);
      delivered += kChunk;
      const double due = double(delivered) / kLongRunLinesPerSecond;
      ServeUntil([&] { return SecondsSince(start) >= due; });
    }
  }
}

long g_eventsHeard = 0;

void CALLBACK CountEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) { ++g_eventsHeard; }

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 2200;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  const int minutes = argc > 3 ? std::atoi(argv[3]) : 0;
  const bool reader = argc > 4 && std::string(argv[4]) == "reader";
  if (!StartPluginEnvironment()) return 1;
  HWINEVENTHOOK hook = reader ? ::SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, CountEvent,
                                                  ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT)
                              : nullptr;
  HWND frame = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                 700, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  {
    CManyPages bench(frame);
    bench.Fill();
    bench.LookAtEveryPage();
    std::printf("11 channel pages, each console at its cap (%lld display lines)\n",
                bench.ConsoleLines(0));
    Rounds(bench, lines, rounds);
    if (minutes > 0) LongRun(bench, minutes);
  }
  if (hook != nullptr) {
    ::UnhookWinEvent(hook);
    std::printf("a reader listening heard %ld events\n", g_eventsHeard);
  }
  ::DestroyWindow(frame);
  ::WSACleanup();
  return 0;
}
