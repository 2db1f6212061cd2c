// The host's plug-in interface: the base class every plug-in object derives
// from, the registration call a plug-in makes while it loads, and the message
// its window list takes. palaver.exe exports the class and the call; plug-ins
// link its import library.
//
// Threads: RegisterPlugin runs on the loader's thread during LoadLibrary;
// every virtual call comes on the host's UI thread.
#pragma once

// The combo box of the host's window list, where plug-ins list their frames.
// A macro, so the host's dialog template places the combo box by it too.
#define PALAVER_IDC_WINDOW_LIST 1006

// The resource compiler reads only the id above.
#ifndef RC_INVOKED

#include "framework/afxwin.h"

#ifdef PALAVER_HOST_BUILD
#define PALAVER_API __declspec(dllexport)
#else
#define PALAVER_API __declspec(dllimport)
#endif

// The host's window list combo box: main window → child AFX_IDW_REBAR
// (0xE804) → child AFX_IDW_DIALOGBAR (0xE805) → child PALAVER_IDC_WINDOW_LIST
// (1006). Null when any step of the path is missing.
inline HWND FindWindowListCombo(HWND mainWindow) {
  const HWND rebar = mainWindow != nullptr ? ::GetDlgItem(mainWindow, AFX_IDW_REBAR) : nullptr;
  const HWND bar = rebar != nullptr ? ::GetDlgItem(rebar, AFX_IDW_DIALOGBAR) : nullptr;
  return bar != nullptr ? ::GetDlgItem(bar, PALAVER_IDC_WINDOW_LIST) : nullptr;
}

// Sent by a plug-in to the window list combo box after each change it makes
// there: wParam 0, lParam's low 16 bits the combo box's item count.
enum : UINT { WM_WINDOWLIST_COUNT = WM_USER + 101 };

// A user of the chat the host is connected to (notifications 4 and 7).
struct TAG_PV_USERINFO {
  DWORD dwUserId;
  char szNick[64];
  char szHost[128];
};

// A rename in that chat (notification 6).
struct TAG_PV_RENAMEINFO {
  DWORD dwUserId;
  char szOldNick[64];
  char szNewNick[64];
};

class PALAVER_API CPalaverPlugin {
 public:
  CPalaverPlugin();
  virtual ~CPalaverPlugin();

  // Once the main window is shown, on the UI thread, in load order.
  virtual void OnStart();
  // Before the host destroys its windows at exit.
  virtual void OnStop();
  // Host notification with three values; reserved, the host sends none yet.
  virtual void OnHostNotify(DWORD code, DWORD wParam, DWORD lParam);
  // Notifications about the host's own chat connection (id = connection).
  virtual void OnEnterUser(unsigned long id, TAG_PV_USERINFO* user);
  virtual void OnMessage(unsigned long id, const char* nick, const char* text, int kind);
  virtual void OnRenameUser(unsigned long id, TAG_PV_RENAMEINFO* rename);
  virtual void OnLeaveUser(unsigned long id, TAG_PV_USERINFO* user);
  virtual void OnCloseClient(unsigned long id);
  virtual void OnInputHook(unsigned long id, CString* input);

  CPalaverPlugin(const CPalaverPlugin&) = delete;
  CPalaverPlugin& operator=(const CPalaverPlugin&) = delete;
};

// Registers a plug-in object of the DLL being loaded. 1 when accepted; 0 for a
// null object, a second registration of the same object, or a call made
// outside the loading of a plug-in DLL.
extern "C" PALAVER_API int RegisterPlugin(CPalaverPlugin* plugin, const char* author,
                                          const char* version);

#endif  // RC_INVOKED
