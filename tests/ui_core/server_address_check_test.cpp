// The manager page's check of the server address the user typed.
#include "ui/core/server_address_check.h"

#include <gtest/gtest.h>

TEST(ServerAddressCheck, TakesWhatTheLinkUsesWithThePortTyped) {
  struct Case {
    const char* address;
    bool valid;
  } cases[] = {
      {"", false},
      {"H", false},
      {"H:", false},
      {":80", false},
      {"H:abc", false},
      {"H:80", true},
      {"H:80x", true},  // digits first; what follows them is not read
      {"H:80@", true},  // a final '@' stays in the server part
      {"H:80@name", true},
      {"name@H:80", false},  // the server part is "name"
      {"a:b:80", true},      // the host is "a:b"
      {"H:   ", true},       // blanks only: nothing to read, no failure
      {"H:65535", true},
      {"H:65536", false},
      {"H:70000", false},       // would reach port 4464
      {"H:4294967376", false},  // 2^32 + 80 must not wrap back to 80
      {"H:-80", false},
      {"H:80@x:99999", true},  // the field after '@' is not checked
      {"H:99999@x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.valid, ValidateServerAddress(c.address)) << "[" << c.address << "]";
  }
  EXPECT_FALSE(ValidateServerAddress(nullptr));
}
