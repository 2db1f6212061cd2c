// The server address check. See server_address_check.h.
#include "ui/core/server_address_check.h"

#include "link/server_address.h"

bool ValidateServerAddress(const char* address) {
  if (address == nullptr) return false;
  ServerAddress parsed;
  return ParseServerAddress(address, &parsed) && parsed.portInRange;
}
