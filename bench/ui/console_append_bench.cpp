// Appends per second to a chat console that holds 1000 lines (each append
// trims the oldest line) next to one that holds 100 lines, in one run, with
// a repaint after every append as the user-interface thread would do between
// two lines from the link. A third figure, a console held at 100 lines by its
// own cap, separates the cost of trimming from the cost of size. Then the
// reader's place at the cap: following appends against appends while a
// selection is held and while the view is scrolled up, both put back after
// every append.
//
//   build/<dir>/bench/ui/console_append_bench.exe [appends-per-round] [rounds] [strict]
// "strict" makes the consoles' text object model answer as Windows does
// (tests/support/strict_consoles.h): a read-only control refuses changes.
// Run under Wine through scripts/wine-run.sh (see docs/PERFORMANCE.md).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/strict_consoles.h"
#include "ui/console/console_view.h"

namespace {

// Short enough not to wrap: the cap counts the control's display lines.
const char kLine[] = "<alice> a short chat line\r\n";

void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

// A visible top-level window with one console of the chat console's size.
class CBenchConsole {
 public:
  explicit CBenchConsole(const ConsoleStyle& style) : m_view(style) {
    m_frame = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 480,
                                360, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    const DWORD style_bits = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE |
                             ES_AUTOVSCROLL | ES_READONLY | ES_WANTRETURN;
    HWND edit = ::CreateWindowExA(0, "RICHEDIT", "", style_bits, 0, 0, 460, 320, m_frame, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    m_view.SubclassWindow(edit);
    m_view.SetUp();
  }
  ~CBenchConsole() { ::DestroyWindow(m_frame); }

  // Empties the console and fills it with lines lines (untimed).
  void Fill(int lines) {
    m_view.SetWindowText("");
    for (int i = 0; i < lines; ++i) m_view.AppendConsole(RGB(255, 255, 255), kLine);
    PumpPending();
  }
  // Seconds for count appends, each followed by its repaint when asked.
  double TimeAppends(int count, bool repaint) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
      m_view.AppendConsole(i % 2 ? RGB(255, 255, 255) : RGB(255, 255, 0), kLine);
      if (repaint) PumpPending();
    }
    const auto end = std::chrono::steady_clock::now();
    PumpPending();
    return std::chrono::duration<double>(end - start).count();
  }
  int Lines() const { return m_view.GetLineCount() - 1; }
  // The reader selects a line in the middle, or scrolls the view up, or
  // goes back to the end and follows.
  enum Reader { kFollows, kSelects, kScrolledUp };
  void Read(Reader reader) {
    m_view.SetSel(0, 0);
    m_view.SendMessage(WM_VSCROLL, SB_BOTTOM);
    const long length = m_view.GetTextLength();
    m_view.SetSel(length, length);
    if (reader == kSelects) m_view.SetSel(length / 2, length / 2 + 20);
    if (reader == kScrolledUp) {
      for (int i = 0; i < 20; ++i) m_view.SendMessage(WM_VSCROLL, SB_PAGEUP);
    }
    PumpPending();
  }

 private:
  HWND m_frame;
  CConsoleView m_view;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int appends = argc > 1 ? std::atoi(argv[1]) : 500;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (::LoadLibraryA("riched32.dll") == nullptr) return 1;
  const bool strict = argc > 3 && std::string(argv[3]) == "strict";
  if (strict && !InstallStrictConsoles()) return 1;
  std::printf("consoles: %s\n", strict ? "strict (as Windows answers)" : "as Wine answers");

  const ConsoleStyle heldAt100 = {kChatConsoleStyle.faceName, kChatConsoleStyle.heightTwips, 101,
                                  true};
  CBenchConsole full(kChatConsoleStyle);
  CBenchConsole small(kChatConsoleStyle);
  CBenchConsole smallCapped(heldAt100);

  full.Fill(1000);
  smallCapped.Fill(100);
  for (const bool repaint : {false, true}) {
    std::vector<double> fullRates, smallRates, cappedRates;
    std::printf("%s\n", repaint ? "append, then repaint" : "append only");
    for (int round = 0; round < rounds; ++round) {
      fullRates.push_back(appends / full.TimeAppends(appends, repaint));
      // Held near 100 lines: refilled after every 20 appends.
      double seconds = 0;
      for (int done = 0; done < appends; done += 20) {
        small.Fill(100);
        seconds += small.TimeAppends(std::min(20, appends - done), repaint);
      }
      smallRates.push_back(appends / seconds);
      cappedRates.push_back(appends / smallCapped.TimeAppends(appends, repaint));
      std::printf(
          "  round %d: 1000 lines (trimming) %.0f/s, 100-120 lines %.0f/s, "
          "100 lines (trimming) %.0f/s\n",
          round + 1, fullRates.back(), smallRates.back(), cappedRates.back());
    }
    const double fullRate = Median(fullRates);
    const double smallRate = Median(smallRates);
    std::printf(
        "  median appends/s: 1000 lines %.0f, 100 lines %.0f, ratio %.2f; "
        "100 lines with trimming %.0f\n",
        fullRate, smallRate, fullRate / smallRate, Median(cappedRates));
  }
  std::printf("display lines held at the end: %d, %d, %d\n", full.Lines(), small.Lines(),
              smallCapped.Lines());

  // The reader's place, in turn round by round so that the load weighs on
  // all three alike.
  const char* const readers[] = {"following", "selection held", "scrolled up"};
  for (const bool repaint : {false, true}) {
    std::vector<double> rates[3];
    std::printf("reader's place at the cap, %s\n",
                repaint ? "append, then repaint" : "append only");
    for (int round = 0; round < rounds; ++round) {
      for (int reader = 0; reader < 3; ++reader) {
        full.Read(static_cast<CBenchConsole::Reader>(reader));
        rates[reader].push_back(appends / full.TimeAppends(appends, repaint));
      }
      std::printf("  round %d: following %.0f/s, selection held %.0f/s, scrolled up %.0f/s\n",
                  round + 1, rates[0].back(), rates[1].back(), rates[2].back());
    }
    const double following = Median(rates[0]);
    for (int reader = 0; reader < 3; ++reader) {
      std::printf("  median appends/s %s: %.0f, against following %.2f\n", readers[reader],
                  Median(rates[reader]), Median(rates[reader]) / following);
    }
  }
  return 0;
}
