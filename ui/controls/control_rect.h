// Where a dialog's control lies, for the pages' layouts. User-interface
// thread.
#pragma once

#include "framework/afxwin.h"

// The control's window rectangle in dialog's client coordinates; empty when
// dialog has no control with the id.
CRect ControlRect(const CWnd& dialog, int id);
