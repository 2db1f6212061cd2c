// Assembles frames from a byte stream that may arrive in pieces of any size,
// down to one byte at a time. Owned by one connection; loop thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "link/frame_header.h"

namespace orla_server {

class FrameReader {
  static constexpr std::size_t kHeader = kFrameHeaderSize;
  static constexpr std::size_t kMaxPayload = kMaxReceivePayload;

 public:
  enum class Status { kMore, kOversized, kStopped };

  // Hands every complete frame in data to onFrame(type, payload), which
  // returns false to stop reading (the connection is being dropped). Returns
  // kOversized at the first header announcing more than kMaxReceivePayload
  // bytes, whose payload is never read. A frame lying whole inside data is
  // handed over in place; only pieces are copied.
  template <typename OnFrame>
  Status Feed(const char* data, std::size_t size, OnFrame&& onFrame) {
    while (size > 0) {
      if (m_have == 0 && size >= kHeader) {
        FrameHeader header = DecodeFrameHeader(reinterpret_cast<const unsigned char*>(data));
        if (header.length > kMaxPayload) return Status::kOversized;
        std::size_t whole = kHeader + header.length;
        if (size >= whole) {
          if (!onFrame(header.type, std::string_view(data + kHeader, header.length))) {
            return Status::kStopped;
          }
          data += whole;
          size -= whole;
          continue;
        }
      }
      std::size_t want = Wanted();
      std::size_t take = size < want ? size : want;
      std::memcpy(m_buffer + m_have, data, take);
      m_have += take;
      data += take;
      size -= take;
      if (m_have < kHeader) continue;
      FrameHeader header = DecodeFrameHeader(m_buffer);
      if (header.length > kMaxPayload) return Status::kOversized;
      if (m_have < kHeader + header.length) continue;
      m_have = 0;
      if (!onFrame(header.type, std::string_view(reinterpret_cast<const char*>(m_buffer) + kHeader,
                                                 header.length))) {
        return Status::kStopped;
      }
    }
    return Status::kMore;
  }

 private:
  // Bytes still missing from the header, or from the payload once the
  // header is complete.
  std::size_t Wanted() const {
    if (m_have < kHeader) return kHeader - m_have;
    return kHeader + DecodeFrameHeader(m_buffer).length - m_have;
  }

  unsigned char m_buffer[kFrameHeaderSize + kMaxReceivePayload] = {};
  std::size_t m_have = 0;
};

}  // namespace orla_server
