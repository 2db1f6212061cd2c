// The main of the UI tests. The host normally starts the socket library,
// registers the common controls and loads the rich edit library before the
// plug-in runs; here the test does it. The application object makes this the
// framework's UI thread and the program the resource module (the channel
// page's template is compiled in).
#include <gtest/gtest.h>
#include <winsock2.h>

#include "framework/afxwin.h"

CWinApp theApp("VelmoUiTest");

int main(int argc, char** argv) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 2;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&controls)) return 3;
  if (LoadLibraryA("riched32.dll") == nullptr) return 4;
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  WSACleanup();
  return result;
}
