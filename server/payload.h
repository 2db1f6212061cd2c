// Building and taking apart payloads as the server sends and receives them:
// text in code page 932, fields separated by single spaces, at most
// kMaxReceivePayload bytes (the most a client can take in one frame).
// Used on the server's loop thread; a builder is a plain value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/frame_header.h"

namespace orla_server {

// Composes one frame (header and payload) in a fixed buffer. Text that does
// not fit is cut at a character boundary; the payload never exceeds the limit.
class FrameBuilder {
 public:
  FrameBuilder() = default;
  FrameBuilder(const FrameBuilder&) = delete;
  FrameBuilder& operator=(const FrameBuilder&) = delete;

  FrameBuilder& Text(std::string_view text);
  FrameBuilder& Space() { return Text(" "); }
  FrameBuilder& Number(std::uint32_t value);
  // A double quote, the text cut so that the closing quote still fits, a quote.
  FrameBuilder& Quoted(std::string_view text);

  // Writes the header for type and returns the whole frame.
  std::string_view Finish(std::uint16_t type);

 private:
  std::size_t Room() const { return kMaxReceivePayload - length_; }

  unsigned char buffer_[kFrameHeaderSize + kMaxReceivePayload] = {};
  std::size_t length_ = 0;
};

// Returns the text up to the first space and moves rest past that space; with
// no space the whole rest is the token and rest becomes empty.
std::string_view NextField(std::string_view& rest);

// Reads an unsigned decimal number the lenient way the client does: digits up
// to the first other byte, 0 when there are none, kept to 32 bits.
std::uint32_t ParseNumber(std::string_view text);

}  // namespace orla_server
