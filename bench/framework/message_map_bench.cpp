// The cost of one window message through a 10-entry message map (found in
// the class's own map, in its base class's, or in none) against a window
// whose WindowProc switches over the same 10 messages and calls virtual
// handlers, in the same run. Each figure is the fastest of several rounds,
// in nanoseconds per message: once through SendMessage, the way a message
// arrives, and once through WindowProc alone, the dispatch without the
// window system's part.
//
//   build/windows/bench/framework/message_map_bench.exe [messages-per-round] [rounds]
// Run under Wine through scripts/wine-run.sh (see docs/PERFORMANCE.md).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "framework/afxwin.h"

namespace {

constexpr UINT kFirst = WM_APP;
// A message neither window handles: the map walks every map, the switch
// falls through; both end in DefWindowProc.
constexpr UINT kUnhandled = WM_APP + 100;
// Handled by the map window's base class only.
constexpr UINT kBaseOnly = WM_APP + 50;

volatile long g_handled = 0;

class CMapBase : public CWnd {
 protected:
  afx_msg LRESULT OnBase(WPARAM, LPARAM) { return ++g_handled; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMapBase, CWnd)
  ON_MESSAGE(kBaseOnly, OnBase)
END_MESSAGE_MAP()

class CMapWindow : public CMapBase {
 public:
  LRESULT Dispatch(UINT message) { return WindowProc(message, 0, 0); }

 protected:
  afx_msg LRESULT OnMessage(WPARAM, LPARAM) { return ++g_handled; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMapWindow, CMapBase)
  ON_MESSAGE(kFirst + 0, OnMessage)
  ON_MESSAGE(kFirst + 1, OnMessage)
  ON_MESSAGE(kFirst + 2, OnMessage)
  ON_MESSAGE(kFirst + 3, OnMessage)
  ON_MESSAGE(kFirst + 4, OnMessage)
  ON_MESSAGE(kFirst + 5, OnMessage)
  ON_MESSAGE(kFirst + 6, OnMessage)
  ON_MESSAGE(kFirst + 7, OnMessage)
  ON_MESSAGE(kFirst + 8, OnMessage)
  ON_MESSAGE(kFirst + 9, OnMessage)
END_MESSAGE_MAP()

// Dispatch as a window procedure with one case per message and a virtual
// handler per case.
class CSwitchWindow : public CWnd {
 public:
  LRESULT Dispatch(UINT message) { return WindowProc(message, 0, 0); }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case kFirst + 0:
      case kFirst + 1:
      case kFirst + 2:
      case kFirst + 3:
      case kFirst + 4:
      case kFirst + 5:
      case kFirst + 6:
      case kFirst + 7:
      case kFirst + 8:
      case kFirst + 9:
        return OnMessage(wParam, lParam);
      case kBaseOnly:
        return OnBase(wParam, lParam);
      default:
        return DefWindowProc(message, wParam, lParam);
    }
  }
  virtual LRESULT OnMessage(WPARAM, LPARAM) { return ++g_handled; }
  virtual LRESULT OnBase(WPARAM, LPARAM) { return ++g_handled; }
};

// Nanoseconds per message of a and of b, the two timed in turn within each
// round so that load from elsewhere falls on both alike; the fastest round
// of each, the one least disturbed.
template <class A, class B>
std::pair<double, double> NanosecondsPerMessage(int count, int rounds, A a, B b) {
  const auto time = [count](auto& send) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) send();
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / count;
  };
  double bestA = 1e18;
  double bestB = 1e18;
  for (int round = 0; round < rounds; ++round) {
    bestA = std::min(bestA, time(a));
    bestB = std::min(bestB, time(b));
  }
  return {bestA, bestB};
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 200000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
  CMapWindow mapped;
  CSwitchWindow switched;
  if (!mapped.CreateEx(0, nullptr, "map", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr) ||
      !switched.CreateEx(0, nullptr, "switch", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr)) {
    std::fprintf(stderr, "message_map_bench: no window\n");
    return 1;
  }
  struct Case {
    const char* name;
    UINT message;
  };
  const Case cases[] = {{"first of 10 entries", kFirst},
                        {"last of 10 entries", kFirst + 9},
                        {"in the base class's map", kBaseOnly},
                        {"in no map (default procedure)", kUnhandled}};
  std::printf("%d messages per round, fastest of %d rounds, ns per message\n", count, rounds);
  std::printf("%-32s %10s %10s %7s | %10s %10s %7s\n", "message", "map send", "switch send",
              "ratio", "map proc", "switch proc", "ratio");
  for (const Case& c : cases) {
    const auto send = NanosecondsPerMessage(
        count, rounds, [&] { mapped.SendMessage(c.message); },
        [&] { switched.SendMessage(c.message); });
    const auto proc = NanosecondsPerMessage(
        count, rounds, [&] { mapped.Dispatch(c.message); }, [&] { switched.Dispatch(c.message); });
    std::printf("%-32s %10.1f %10.1f %7.2f | %10.1f %10.1f %7.2f\n", c.name, send.first,
                send.second, send.first / send.second, proc.first, proc.second,
                proc.first / proc.second);
  }
  mapped.DestroyWindow();
  switched.DestroyWindow();
  return 0;
}
