// See plugin_environment.h.
#include "tests/support/plugin_environment.h"

// Before windows.h, which would otherwise bring the old socket header.
#include <winsock2.h>
//
#include <commctrl.h>
#include <windows.h>

bool StartPluginEnvironment() {
  WSADATA data;
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  if (!::InitCommonControlsEx(&controls)) return false;
  return ::LoadLibraryA("riched32.dll") != nullptr;
}

void StopPluginEnvironment() { ::WSACleanup(); }
