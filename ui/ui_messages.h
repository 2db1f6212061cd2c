// Private window messages of the user interface, with what each parameter
// carries. WM_LINK_EVENT (the link's events) lives with the link in
// link/link_event.h.
#pragma once

#include <windows.h>

// To a console control (CConsoleView), sent by a thread other than the
// control's own: carry out one whole append on the control's thread while the
// sender waits. wParam 0; lParam the address of a ConsoleAppendRequest that
// stays valid for the call. Returns 0.
enum : UINT { WM_CONSOLE_APPEND = WM_APP + 1 };
