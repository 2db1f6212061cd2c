// Fixed-buffer frame composition and field splitting.
#include "server/payload.h"

#include <cstdio>
#include <cstring>

#include "link/cp932_text.h"

namespace orla_server {

FrameBuilder& FrameBuilder::Text(std::string_view text) {
  std::size_t n = CharBoundaryLength(text, Room());
  // An empty view may have no data at all, which memcpy must not be given.
  if (n == 0) return *this;
  std::memcpy(buffer_ + kFrameHeaderSize + length_, text.data(), n);
  length_ += n;
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

std::string_view FrameBuilder::Finish(std::uint16_t type) {
  EncodeFrameHeader(buffer_, static_cast<std::uint16_t>(length_), type);
  return std::string_view(reinterpret_cast<const char*>(buffer_), kFrameHeaderSize + length_);
}

std::string_view NextField(std::string_view& rest) {
  std::size_t space = rest.find(' ');
  std::string_view field = rest.substr(0, space);
  rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
  return field;
}

std::uint32_t ParseNumber(std::string_view text) {
  std::uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return value;
}

}  // namespace orla_server
