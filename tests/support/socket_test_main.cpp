// The main of the test programs that open sockets (the link and integration
// tests). On Windows the host process starts the socket library before the
// plug-in runs; here the test does it.
#include <gtest/gtest.h>

#include "link/socket_platform.h"

int main(int argc, char** argv) {
  if (!link_platform::StartSockets()) return 2;
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  link_platform::StopSockets();
  return result;
}
