// Private window messages of the user interface, with what each parameter
// carries. WM_LINK_EVENT (the link's events) lives with the link in
// link/link_event.h.
#pragma once

#include <windows.h>

// To a console control (CConsoleView): carry out one whole append on the
// control's thread; a sender on another thread waits until the text is in.
// wParam nonzero when the sender runs on the control's own thread (only then
// can the control have the focus the append looks at); lParam the address of
// a ConsoleAppendRequest, valid for the call. Returns 0. A window that is
// gone does nothing with it.
enum : UINT { WM_CONSOLE_APPEND = WM_APP + 1 };
