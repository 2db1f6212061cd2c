// The server address grammar. Any thread.
#include "link/server_address.h"

#include "link/cp932_text.h"
#include "link/payload.h"

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
  *out = address;
  return true;
}
