// Fuzz target: ParseServerAddress over any text the user may type into the
// address box. Checks the grammar's promises on what it accepts: a non-empty
// host that is a prefix of the text, a non-empty second field.
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/server_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ServerAddress address;
  if (!ParseServerAddress(text, &address)) return 0;
  if (address.host.empty() || address.secondField.empty()) __builtin_trap();
  if (text.compare(0, address.host.size(), address.host) != 0) __builtin_trap();
  if (text[address.host.size()] != ':') __builtin_trap();
  return 0;
}
