// The accessible object a pane hands out where the system cannot annotate
// its own (control_access.h): the system's object for the control
// (CreateStdAccessibleObject) with our name, every other call passed on.
// A list view that the system shows as a bare client area, with no rows
// (Wine), is given its rows here, as the system's own list does on Windows:
// a list whose children (child id = row + 1) are list items named by their
// first column, the other columns in the description as "header: text", the
// control's selection and focus in their states, selectable as a click
// selects.
//
// Ownership: reference-counted. The object holds the list's window handle,
// never an object of ours: once the window has gone a row call fails with
// RPC_E_DISCONNECTED, and off the list's thread with RPC_E_WRONG_THREAD.
//
// Threads: made on the user-interface thread.
#pragma once

#include <windows.h>

// The WM_GETOBJECT answer of a control named name (code page 932, a literal:
// a reader may hold the object after the control has gone): the
// reference to hand back, or 0 for an object id other than OBJID_CLIENT or
// when the object could not be made (the control's own answer then stands).
// listView: the control is a list view, whose rows are given here when the
// system's object has none.
LRESULT NamedClientObject(HWND control, const char* name, bool listView, WPARAM flags,
                          LPARAM objectId);
