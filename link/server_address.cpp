// The server address grammar. Any thread.
#include "link/server_address.h"

#include "link/cp932_text.h"
#include "link/payload.h"

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The number a port text begins with, as "%u" would read it, is at most
// 65535; a text without digits (blanks only, as the parse lets through)
// passes.
bool PortWithinRange(const char* text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (IsBlank(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  unsigned long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    // Checked per digit, so no run of digits can wrap back into range.
    if (value > 65535) return false;
  }
  // "%u" turns "-80" into 4294967216.
  return !negative || value == 0;
}

}  // namespace

bool ParseServerAddress(const std::string& text, ServerAddress* out) {
  ServerAddress address;
  std::string hostPart = text;
  const char* at = FindLastChar(text.c_str(), '@');
  if (at != nullptr && at[1] != '\0') {
    const std::size_t split = static_cast<std::size_t>(at - text.c_str());
    hostPart = text.substr(0, split);
    address.secondField = text.substr(split + 1);
  }

  const std::size_t colon = hostPart.rfind(':');
  if (colon == std::string::npos || colon + 1 == hostPart.size() || colon == 0) return false;
  address.host = hostPart.substr(0, colon);

  const std::string portText = hostPart.substr(colon + 1);
  std::uint32_t port = 0;
  if (!ReadUnsigned(portText.c_str(), &port) &&
      portText.find_first_not_of(" \t\n\v\f\r") != std::string::npos)
    return false;
  address.port = static_cast<std::uint16_t>(port & 0xFFFF);
  address.portInRange = PortWithinRange(portText.c_str());
  *out = address;
  return true;
}
