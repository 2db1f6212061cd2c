// The server address check. See server_address_check.h.
#include "ui/server_address_check.h"

#include "link/server_address.h"

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The number a port text begins with, as "%u" would read it, is at most
// 65535; a text without digits (blanks only, as the parse has let through)
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

bool ValidateServerAddress(const char* address) {
  if (address == nullptr || address[0] == '\0') return false;
  ServerAddress parsed;
  if (!ParseServerAddress(address, &parsed)) return false;
  // The host part starts the text, so the port text follows the host and
  // its ':'; reading it stops at the first byte after the digits, the '@'
  // included.
  return PortWithinRange(address + parsed.host.size() + 1);
}
