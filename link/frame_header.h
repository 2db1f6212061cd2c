// The frame header that precedes every payload on an Orla connection, in
// both directions: payload length, then message type, both unsigned 16-bit
// big-endian. The payload follows without terminator. Shared by the client
// link and the server stand-in, so there is exactly one encoder and decoder.
#pragma once

#include <cstdint>

enum : int {
  kFrameHeaderSize = 4,
  // Every frame sent or received lives in one buffer of this size.
  kFrameBufferSize = 1024,
  // A received payload plus its terminating NUL fills the buffer.
  kMaxReceivePayload = kFrameBufferSize - 1,
  // A sent payload shares the buffer with the header and the formatter's NUL.
  kMaxSendPayload = kFrameBufferSize - kFrameHeaderSize - 1,
};

struct FrameHeader {
  std::uint16_t length;
  std::uint16_t type;
};

inline void EncodeFrameHeader(unsigned char* out, std::uint16_t length, std::uint16_t type) {
  out[0] = static_cast<unsigned char>(length >> 8);
  out[1] = static_cast<unsigned char>(length & 0xFF);
  out[2] = static_cast<unsigned char>(type >> 8);
  out[3] = static_cast<unsigned char>(type & 0xFF);
}

inline FrameHeader DecodeFrameHeader(const unsigned char* in) {
  return FrameHeader{static_cast<std::uint16_t>((in[0] << 8) | in[1]),
                     static_cast<std::uint16_t>((in[2] << 8) | in[3])};
}
