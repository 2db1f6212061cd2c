// The main of the end-to-end tests: the host's code and the real velmo.dll
// in this process, their rich edit consoles answering as Windows does.
#include <gtest/gtest.h>

#include "tests/support/strict_consoles.h"

int main(int argc, char** argv) {
  if (!InstallStrictConsoles()) return 2;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
