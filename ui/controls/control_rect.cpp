// A control's rectangle in its dialog. See control_rect.h.
#include "ui/controls/control_rect.h"

CRect ControlRect(const CWnd& dialog, int id) {
  CRect rect;
  const HWND control = ::GetDlgItem(dialog.m_hWnd, id);
  if (control == nullptr) return rect;
  ::GetWindowRect(control, &rect);
  dialog.ScreenToClient(&rect);
  return rect;
}
