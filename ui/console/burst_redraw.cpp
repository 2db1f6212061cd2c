// Paced repainting of a control under a burst of changes. See burst_redraw.h.
#include "ui/console/burst_redraw.h"

#include <algorithm>

namespace {

// Changes closer together than this are a burst: the control is shown at
// most this often while they last. Under Wine a paint of a console costs a
// few milliseconds, and turning a list view's redrawing on and painting it
// 10 to 70 ms at a few thousand rows (it grows with the rows).
const DWORD kRedrawEveryMs = 100;
// A burst is over when no change has come for this long.
const DWORD kQuietMs = 20;

// GetTickCount of the last change to any paced control of the thread, shown
// or not. While changes go on elsewhere (lines spread over many pages), a
// control whose own changes pause is still in the thread's burst: it is
// redrawn at its pace, not after every pause, which for the shown page of
// eleven busy ones was after every line.
DWORD g_lastChangeAnywhere = 0;

CBurstRedraw::Clock g_clock = nullptr;

DWORD Now() { return g_clock != nullptr ? g_clock() : ::GetTickCount(); }

}  // namespace

void CBurstRedraw::SetClock(Clock clock) { g_clock = clock; }

void CBurstRedraw::BeginChange(HWND control) {
  g_lastChangeAnywhere = Now();
  if (control != m_control) {
    Forget();
    m_control = control;
  }
  if (control == nullptr) return;
  // Nothing of a control that cannot be seen (its page hidden) is painted:
  // it is changed with its redrawing on, and shows all when its page does.
  // Turning a full console's redrawing on again costs more than its change,
  // and every hidden console of a burst spread over the pages would pay it
  // for every line, with its own timer and redraw.
  if (!::IsWindowVisible(control)) return;
  // Also when a burst holds it off already: the message clears the window's
  // WS_VISIBLE again, which keeps a control that pays no heed to its own
  // flag (the rich edit under Wine paints whenever it is visible) from
  // drawing the change.
  ::SendMessageA(control, WM_SETREDRAW, FALSE, 0);
  m_off = true;
  m_windowHidden = true;
}

void CBurstRedraw::EndChange() {
  if (!m_off) return;
  const DWORD now = Now();
  m_lastChange = now;
  if (now - m_lastRedraw >= m_redrawEveryMs) {
    Redraw();
    return;
  }
  m_held = true;
  // Held, the control keeps its own flag off until its redraw; its window
  // is visible again before the thread serves anyone else. DefWindowProc
  // alone sets WS_VISIBLE back, as WM_SETREDRAW TRUE would, without the
  // control's redraw (a list view's costs milliseconds).
  if (m_windowHidden) ::DefWindowProcA(m_control, WM_SETREDRAW, TRUE, 0);
  m_windowHidden = false;
  if (!m_timerSet) {
    // The timer's id is this object; it goes with Forget or the window.
    m_timerSet = ::SetTimer(m_control, reinterpret_cast<UINT_PTR>(this), kQuietMs, &OnTimer) != 0;
    // Without a timer nothing would show the last changes: show them now.
    if (!m_timerSet) Redraw();
  }
}

void CBurstRedraw::Flush() {
  if (m_held) Redraw();
}

CBurstRedraw::~CBurstRedraw() {
  Forget();
  PaceWith(nullptr);
}

void CBurstRedraw::PaceWith(CBurstRedraw* other) {
  if (m_partner != nullptr) m_partner->m_partner = nullptr;
  m_partner = other;
  if (other == nullptr) return;
  if (other->m_partner != nullptr) other->m_partner->m_partner = nullptr;
  other->m_partner = this;
}

void CBurstRedraw::Forget() {
  StopHolding();
  m_control = nullptr;
}

void CBurstRedraw::StopHolding() {
  if (m_timerSet) ::KillTimer(m_control, reinterpret_cast<UINT_PTR>(this));
  m_timerSet = false;
  m_off = false;
  m_windowHidden = false;
  m_held = false;
}

void CALLBACK CBurstRedraw::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto* self = reinterpret_cast<CBurstRedraw*>(id);
  const DWORD now = Now();
  if (now - self->m_lastChange < kQuietMs) return;
  if (now - g_lastChangeAnywhere >= kQuietMs || now - self->m_lastRedraw >= self->m_redrawEveryMs)
    self->Flush();
}

void CBurstRedraw::Redraw() {
  // Turning a list view's redrawing on costs more than its paint under Wine
  // (about 22 ms against 9 at thousands of rows, the scroll bar's update):
  // both count towards the pacing.
  const DWORD start = Now();
  Release();
  if (m_partner != nullptr && m_partner->m_held) m_partner->Release();
  // Painted now together with whatever else of its window waits to be
  // painted (a page just shown): a paint left to the message loop comes
  // before the thread's timers, and in a burst the thread gets to its queue
  // only in short breaths.
  ::RedrawWindow(::GetAncestor(m_control, GA_ROOT), nullptr, nullptr,
                 RDW_UPDATENOW | RDW_ALLCHILDREN);
  m_lastRedraw = Now();
  // A burst spends at most about a quarter of its time redrawing, however
  // slow the redraw.
  m_redrawEveryMs = std::max(kRedrawEveryMs, 3 * (m_lastRedraw - start));
  if (m_partner != nullptr) {
    m_partner->m_lastRedraw = m_lastRedraw;
    m_partner->m_redrawEveryMs = m_redrawEveryMs;
  }
}

void CBurstRedraw::Release() {
  StopHolding();
  ::SendMessageA(m_control, WM_SETREDRAW, TRUE, 0);
  // The whole control with its background and its frame: the scroll bar
  // moved unseen too (WM_SETREDRAW's remarks name these flags).
  ::RedrawWindow(m_control, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
