// The host's window list, as the plug-in sees it: the combo box below the
// host's main window (FindWindowListCombo, palaver/plugin.h) whose items
// carry each child frame's window object as item data, and the count
// message the host wants after every change.
//
// Threads: user-interface thread only.
#pragma once

#include "framework/afxwin.h"

// The combo box, or null when the thread has no main window or any piece of
// the path is missing.
CWnd* FindHostWindowList();
// The index of the first item whose data is frame, or -1.
int FindWindowListItem(CWnd* list, const CWnd* frame);
// WM_WINDOWLIST_COUNT with the list's item count in lParam's low 16 bits.
void SendWindowListCount(CWnd* list);
