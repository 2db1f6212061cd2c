// Emptying a console (a CConsoleView member): all its text goes as a trim of
// every line would take it, so the reader's marks follow. See
// console_view.h. User-interface thread.
#include "ui/console/console_view.h"

void CConsoleView::Clear() {
  if (m_hWnd == nullptr) return;
  ShiftMarksBy(GetTextLength());
  m_endsInLink = false;
  m_pressedLink = -1;
  // The next append asks the control where the view is, as after a scroll.
  m_viewMayHaveMoved = true;
  m_viewAway = false;
  SetSel(0, -1);
  ReplaceSel("");
  SendMessage(EM_EMPTYUNDOBUFFER);
  Invalidate(TRUE);
}
