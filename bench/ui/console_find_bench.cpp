// Find in a full chat console (1,000 lines of Japanese and English chat)
// against the control's own search: F3 through the real CConsoleView and
// its Find (the text read out of the control, searched character by
// character, the match selected and scrolled into view, the notice shown)
// beside EM_FINDTEXT over the same text, for a word the console does not
// hold (a whole pass), one in its first line (reached from the end by
// going round) and a Japanese one. Prints milliseconds per search and the
// ratio. The first search of each word also shows the notice at the match
// (went round, or found nothing), a window shown: its figure is printed
// apart; the notice's later showings only start its time afresh.
//
//   build/<dir>/bench/ui/console_find_bench.exe [searches]
// Run under Wine through scripts/wine-run.sh (see docs/PERFORMANCE.md).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/ui/bench_median.h"
#include "ui/console/console_view.h"
// The Find dialog's control ids, after windows.h.
#include <dlgs.h>

namespace {

void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void HoldControl(bool down) {
  BYTE state[256];
  ::GetKeyboardState(state);
  state[VK_CONTROL] = down ? 0x80 : 0;
  state[VK_SHIFT] = 0;
  ::SetKeyboardState(state);
}

}  // namespace

int main(int argc, char** argv) {
  const int searches = argc > 1 ? std::atoi(argv[1]) : 50;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (::LoadLibraryA("riched32.dll") == nullptr) return 1;

  HWND frame = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 480,
                                 360, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE |
                      ES_AUTOVSCROLL | ES_READONLY | ES_WANTRETURN;
  // The chat console's look with room for all 1,000 lines.
  const ConsoleStyle full = {kChatConsoleStyle.faceName, kChatConsoleStyle.heightTwips, 1001, true,
                             0};
  CConsoleView console(full);
  console.SubclassWindow(::CreateWindowExA(0, "RICHEDIT", "", style, 0, 0, 460, 320, frame, nullptr,
                                           ::GetModuleHandleA(nullptr), nullptr));
  console.SetUp();
  console.AppendConsole(RGB(255, 255, 255), "<alice> firstword だけ\r\n");
  for (int i = 1; i < 1000; ++i)
    console.AppendConsole(RGB(255, 255, 255), i % 2 ? "<bob> 今日はいい天気ですね、散歩に行こう\r\n"
                                                    : "<carol> shall we meet at the station\r\n");
  PumpPending();
  std::printf("console: %d display lines, %d characters\n", console.GetLineCount(),
              console.GetWindowTextLength());

  MSG ctrlF = {console.m_hWnd, WM_KEYDOWN, 'F', 0, 0, {0, 0}};
  MSG f3 = {console.m_hWnd, WM_KEYDOWN, VK_F3, 0, 0, {0, 0}};
  for (const char* word : {"absentword", "firstword", "雨"}) {
    // The word goes in through the dialog, as a user types it.
    HoldControl(true);
    console.PreTranslateFindKey(ctrlF);
    HoldControl(false);
    HWND dialog = ::GetActiveWindow();
    ::SetDlgItemTextA(dialog, edt1, word);
    ::SendMessageA(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    ::SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    PumpPending();

    std::vector<double> ours, control;
    double first = 0;
    for (int i = -1; i <= searches; ++i) {
      // From the end, as after a new line.
      const long end = console.GetTextLength();
      console.SetSel(end, end);
      auto start = std::chrono::steady_clock::now();
      console.PreTranslateFindKey(f3);
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      if (i <= 0) {
        // A search to settle in, then one after its notice has gone.
        if (i == 0) first = ms;
        for (int waited = 0; i < 0 && waited < 3500; waited += 50) {
          ::Sleep(50);
          PumpPending();
        }
        continue;
      }
      ours.push_back(ms);
      FINDTEXTA find = {{0, -1}, word};
      start = std::chrono::steady_clock::now();
      ::SendMessageA(console.m_hWnd, EM_FINDTEXT, FR_DOWN, reinterpret_cast<LPARAM>(&find));
      control.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
      PumpPending();
    }

    std::printf(
        "%-10s  F3 %.3f ms  EM_FINDTEXT %.3f ms  ratio %.2f (median of %d; the first, showing "
        "the notice: %.3f ms)\n",
        word, Median(ours), Median(control), Median(ours) / Median(control), searches, first);
  }
  ::DestroyWindow(frame);
  return 0;
}
