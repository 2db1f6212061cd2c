#include "link/frame_header.h"
#include <gtest/gtest.h>
#include <cstring>
TEST(FrameHeader, RoundTrip) {
  unsigned char b[4];
  EncodeFrameHeader(b, 5, 402);
  EXPECT_EQ(0, std::memcmp(b, "\x00\x05\x01\x92", 4));
  EXPECT_EQ(402, DecodeFrameHeader(b).type);
  EXPECT_EQ(0, std::strcmp("接続", "\x90\xda\x91\xb1"));
}
