// Paced repainting shared by two controls: a redraw of either shows what the
// other holds, and neither is redrawn on its own clock in between; a held
// control stays visible.
// Before windows.h, which would otherwise bring the old socket header.
#include <winsock2.h>
//
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/ui_test_support.h"
#include "ui/console/burst_redraw.h"

namespace {

// Whether a control was last told not to redraw, as a property of its window.
WNDPROC g_staticProc = nullptr;
LRESULT CALLBACK RecordRedrawOff(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETREDRAW) ::SetPropA(window, "off", reinterpret_cast<HANDLE>(wParam == 0));
  return ::CallWindowProcA(g_staticProc, window, message, wParam, lParam);
}

HWND CreateStatic(HWND parent, int x) {
  HWND control = ::CreateWindowExA(0, "STATIC", "text", WS_CHILD | WS_VISIBLE, x, 0, 100, 40,
                                   parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  g_staticProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordRedrawOff)));
  return control;
}

// Its own redrawing on again and nothing of it left to paint.
bool Shown(HWND control) {
  return ::GetPropA(control, "off") == nullptr && !::GetUpdateRect(control, nullptr, FALSE);
}

// The pacing's clock while a test lives: it moves only when the test moves
// it, so a slow turn of the machine is never taken for the end of a burst.
class CTestClock {
 public:
  CTestClock() {
    CBurstRedraw::SetClock([] { return s_now; });
  }
  ~CTestClock() { CBurstRedraw::SetClock(nullptr); }
  void Advance(DWORD milliseconds) { s_now += milliseconds; }

 private:
  static DWORD s_now;
};
DWORD CTestClock::s_now = 1000000;

void Change(CBurstRedraw& redraw, HWND control) {
  redraw.BeginChange(control);
  redraw.EndChange();
}

struct PacingCase {
  const char* name;
  bool paired;
  // The second control's pacing object goes before the first redraws again.
  bool secondGoes;
  // The second control's first change, right after the first's.
  bool secondShownAtOnce;
  // After a burst of the second, the first changes once the pacing allows.
  bool secondShownWithFirst;
};

const PacingCase kPacingCases[] = {
    {"each paced alone", false, false, true, false},
    {"paced together", true, false, false, true},
    {"partner gone", true, true, false, false},
};

TEST(BurstRedrawTest, SharedPacing) {
  for (const PacingCase& c : kPacingCases) {
    SCOPED_TRACE(c.name);
    CTestClock clock;
    CTestWindow window;
    HWND first = CreateStatic(window.Handle(), 0);
    HWND second = CreateStatic(window.Handle(), 200);
    PumpPending();
    CBurstRedraw firstRedraw;
    auto secondRedraw = std::make_unique<CBurstRedraw>();
    if (c.paired) firstRedraw.PaceWith(secondRedraw.get());

    Change(firstRedraw, first);
    EXPECT_TRUE(Shown(first));
    Change(*secondRedraw, second);
    EXPECT_EQ(c.secondShownAtOnce, Shown(second));
    // Within the burst whatever the pacing: held, yet visible to F6 and to a
    // screen reader.
    Change(*secondRedraw, second);
    EXPECT_FALSE(Shown(second));
    EXPECT_TRUE(::IsWindowVisible(second));

    if (c.secondGoes) secondRedraw.reset();
    // Longer than the least time between two redraws of a fast control.
    clock.Advance(150);
    Change(firstRedraw, first);
    EXPECT_TRUE(Shown(first));
    EXPECT_EQ(c.secondShownWithFirst, Shown(second));
  }
}

// The shown page's console among busy hidden pages: its own lines pause
// while the hidden ones keep taking lines, and its last line is still shown
// at its pace, not held until the whole thread is quiet.
TEST(BurstRedrawTest, AControlWhoseChangesPauseIsShownWhileHiddenOnesKeepChanging) {
  CTestClock clock;
  CTestWindow window;
  HWND shown = CreateStatic(window.Handle(), 0);
  HWND hidden = CreateStatic(window.Handle(), 200);
  ::ShowWindow(hidden, SW_HIDE);
  PumpPending();
  CBurstRedraw shownRedraw;
  CBurstRedraw hiddenRedraw;
  Change(shownRedraw, shown);
  Change(shownRedraw, shown);
  ASSERT_FALSE(Shown(shown)) << "held within the burst";
  // A line to the hidden control every 5 ms of the pacing's clock, past the
  // shown control's pace, and on while its timer comes.
  for (int line = 0; line < 30; ++line) {
    clock.Advance(5);
    Change(hiddenRedraw, hidden);
  }
  EXPECT_TRUE(PumpUntil(kHangBoundMs, [&] {
    clock.Advance(5);
    Change(hiddenRedraw, hidden);
    return Shown(shown);
  }));
}

}  // namespace
