// A frame's bytes as one string, for the tests, benchmarks and fuzz targets
// that play a peer: the header EncodeFrameHeader writes, then the payload.
// The link and the server build their frames in fixed buffers instead
// (SendFrame, FrameBuilder); this reuses their header rule.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/frame_header.h"

// A header announcing length and type as given, so a script can announce
// more or fewer bytes than it sends.
inline std::string HeaderBytes(std::uint16_t length, std::uint16_t type) {
  unsigned char header[kFrameHeaderSize];
  EncodeFrameHeader(header, length, type);
  return std::string(reinterpret_cast<const char*>(header), sizeof header);
}

// A whole frame whose header announces the payload's own length.
inline std::string FrameBytes(std::uint16_t type, std::string_view payload) {
  return HeaderBytes(static_cast<std::uint16_t>(payload.size()), type).append(payload);
}
