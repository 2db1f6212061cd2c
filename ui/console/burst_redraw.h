// CBurstRedraw: paces the repainting of one control that is changed again
// and again in quick succession, as a list view or a console is while a
// burst of rows or lines arrives from the link.
//
// A change that comes alone is redrawn at once: redrawing on, the whole
// control invalidated with its background and painted. While changes follow
// each other closer than kRedrawEveryMs, the control's redrawing stays off
// between them, and it is redrawn at most every kRedrawEveryMs (100 ms, or
// three times its last redraw when that was slower), and once more when no
// change has come for kQuietMs, to it and to every other paced control of
// the thread (or its pace is due): a page whose lines pause while other
// pages' lines go on is still in the thread's burst. Only the control's own
// redrawing is held between changes: its window is visible again as soon as
// each change is in (WM_SETREDRAW's DefWindowProc clears WS_VISIBLE), so F6
// and a screen reader, served between two changes, find a shown control
// shown. A control that cannot
// be seen (under a hidden page) is not held at all: it changes with its
// redrawing on, which paints nothing while it is hidden, and shows all of
// it when its page is shown. Two controls of one window that change in the
// same bursts (a page's list and console) can share one pacing (PaceWith):
// each redraw shows both and paints once, instead of each paced on its own
// and painting the window twice as often. What the control holds is never
// held back, only its painting: every row and line is in the control when
// its change returns, in its order. Two reasons: a visible list view under
// Wine updates its scroll bar on every insert (milliseconds a row), and a
// paint left to the message loop after every change comes before the
// thread's timers, so a burst kept them from running at all.
//
// Threads: the control's (user-interface) thread only.
#pragma once

#include <windows.h>

class CBurstRedraw {
 public:
  CBurstRedraw() = default;
  CBurstRedraw(const CBurstRedraw&) = delete;
  CBurstRedraw& operator=(const CBurstRedraw&) = delete;
  ~CBurstRedraw();

  // Before a change of control: its redrawing off (WM_SETREDRAW 0), unless
  // the control cannot be seen.
  void BeginChange(HWND control);
  // After the change: redraws the control now, or, within a burst, leaves its
  // own redrawing off for a later redraw, its window visible again.
  void EndChange();
  // Redraws the control now if a burst holds it. Nothing otherwise.
  void Flush();
  // For a control whose window goes: no later redraw touches it.
  void Forget();
  // Shares the pacing with other, both ways, until either object goes: a
  // redraw of either also shows the changes the other holds, and both wait
  // for the next redraw from the same moment.
  void PaceWith(CBurstRedraw* other);

  // The clock of every pacing, in milliseconds (GetTickCount
  // when null). A test sets its own, so that what counts as a burst does not
  // depend on how fast the machine runs the test.
  using Clock = DWORD (*)();
  static void SetClock(Clock clock);

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
  void Redraw();
  // No timer, nothing held, redrawing not counted as off.
  void StopHolding();
  // Redrawing on, the timer gone and the whole control invalidated; the
  // paint is the caller's.
  void Release();

  HWND m_control = nullptr;
  // The control's own redrawing is off (between BeginChange and EndChange,
  // or held by a burst).
  bool m_off = false;
  // This change cleared the window's WS_VISIBLE, which EndChange gives back.
  bool m_windowHidden = false;
  // Changes made since the last redraw and not shown yet.
  bool m_held = false;
  bool m_timerSet = false;
  // GetTickCount of the last redraw and of the last change.
  DWORD m_lastRedraw = 0;
  // The least time between two redraws within a burst: kRedrawEveryMs, or
  // three times the last redraw (redrawing on and the paint) when that took
  // longer.
  DWORD m_redrawEveryMs = 0;
  DWORD m_lastChange = 0;
  // The object sharing this pacing, or null.
  CBurstRedraw* m_partner = nullptr;
};
