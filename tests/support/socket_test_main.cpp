// The main of the test programs that open sockets (the link and integration
// tests). On Windows the host process starts the socket library before the
// plug-in runs; here the test does it, and has the program's socket calls
// answered as Windows answers them.
#include <gtest/gtest.h>

#include "link/socket_platform.h"
#ifdef _WIN32
#include "tests/support/strict_winsock.h"
#endif

int main(int argc, char** argv) {
  if (!link_platform::StartSockets()) return 2;
#ifdef _WIN32
  if (InstallStrictWinsock(::GetModuleHandleA(nullptr)) == 0) return 2;
#endif
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  link_platform::StopSockets();
  return result;
}
