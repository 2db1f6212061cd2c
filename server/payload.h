// Building payloads as the server sends them: text in code page 932, fields
// separated by single spaces, at most kMaxReceivePayload bytes (the most a
// client can take in one frame). Received payloads are taken apart with the
// link's readers (link/payload.h), the same the client uses.
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
  // The text with each double quote written as an apostrophe: for a field
  // between quotes that a reader must be able to end (604's texts).
  FrameBuilder& QuoteFree(std::string_view text);

  // Bytes the payload can still take.
  std::size_t Room() const { return kMaxReceivePayload - m_length; }
  // The payload so far, without a header.
  std::string_view Payload() const {
    return std::string_view(reinterpret_cast<const char*>(m_buffer) + kFrameHeaderSize, m_length);
  }
  // Writes the header for type and returns the whole frame.
  std::string_view Finish(std::uint16_t type);

 private:
  unsigned char m_buffer[kFrameHeaderSize + kMaxReceivePayload] = {};
  std::size_t m_length = 0;
};

}  // namespace orla_server
