// The main of the UI tests. The host normally starts the socket library,
// registers the common controls and loads the rich edit library before the
// plug-in runs; here the test does it. The application object makes this the
// framework's UI thread and the program the resource module (the channel
// page's template is compiled in).
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "tests/support/plugin_environment.h"
#include "tests/support/strict_consoles.h"
#include "tests/support/strict_winsock.h"

CWinApp theApp("VelmoUiTest");

int main(int argc, char** argv) {
  if (!StartPluginEnvironment()) return 2;
  if (!InstallStrictConsoles()) return 2;
  if (InstallStrictWinsock(::GetModuleHandleA(nullptr)) == 0) return 2;
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  StopPluginEnvironment();
  return result;
}
