// Fixed-buffer frame composition.
#include "server/payload.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "link/cp932_text.h"

namespace orla_server {

FrameBuilder& FrameBuilder::Text(std::string_view text) {
  std::size_t n = CharBoundaryLength(text, Room());
  // An empty view may have no data at all, which memcpy must not be given.
  if (n == 0) return *this;
  std::memcpy(m_buffer + kFrameHeaderSize + m_length, text.data(), n);
  m_length += n;
  return *this;
}

FrameBuilder& FrameBuilder::Number(std::uint32_t value) {
  char text[16];
  int n = std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value));
  return Text(std::string_view(text, static_cast<std::size_t>(n)));
}

FrameBuilder& FrameBuilder::Quoted(std::string_view text) {
  if (Room() < 2) return *this;
  Text("\"");
  std::size_t n = CharBoundaryLength(text, Room() - 1);
  Text(text.substr(0, n));
  return Text("\"");
}

FrameBuilder& FrameBuilder::QuoteFree(std::string_view text) {
  const std::size_t start = m_length;
  Text(text);
  // 0x22 is never the second byte of a double-byte character.
  unsigned char* payload = m_buffer + kFrameHeaderSize;
  std::replace(payload + start, payload + m_length, static_cast<unsigned char>('"'),
               static_cast<unsigned char>('\''));
  return *this;
}

std::string_view FrameBuilder::Finish(std::uint16_t type) {
  EncodeFrameHeader(m_buffer, static_cast<std::uint16_t>(m_length), type);
  return std::string_view(reinterpret_cast<const char*>(m_buffer), kFrameHeaderSize + m_length);
}

}  // namespace orla_server
