// Private window messages of the user interface, with what each parameter
// carries. The link knows only its event codes (link/link_event.h); the
// window messages that carry them live here.
//
// WM_TABBAR_NOTIFY and WM_LINK_EVENT share their numbers with the dialog
// manager's DM_SETDEFID and DM_REPOSITION: a dialog that receives them
// answers them itself and never passes them to the default dialog procedure.
#pragma once

// Plain numbers, so the header can come before or after the platform headers.
enum : unsigned { kWmUser = 0x0400, kWmApp = 0x8000 };

// From the tab bar to its parent, sent: wParam a TabBarNotify code, lParam
// the clicked tab's index (TABBAR_CLICKED) or 0. Returns 1 when handled.
enum : unsigned { WM_TABBAR_NOTIFY = kWmUser + 1 };
enum TabBarNotify : unsigned {
  TABBAR_RESIZED = 1,  // the bar's height changed (a row opened or emptied)
  TABBAR_CLICKED = 2,  // a tab was clicked; it is selected already
};

// A link event (LinkEvent code in wParam, its value in lParam), sent from the
// link's worker to the page host and from the page host to each page.
// Returns 1 when the receiver handled it.
enum : unsigned { WM_LINK_EVENT = kWmUser + 2 };

// To a console control (CConsoleView): carry out one whole append on the
// control's thread; a sender on another thread waits until the text is in.
// wParam 0; lParam the address of a ConsoleAppendRequest, valid for the
// call. Returns 0. A window that is gone does nothing with it.
enum : unsigned { WM_CONSOLE_APPEND = kWmApp + 1 };
