// Fuzz target: ValidateServerAddress, the manager page's check of the
// address the user typed, over any text the edit can hand over (up to its
// first NUL). Checks it against the user's view of the text: it passes
// exactly when the link can parse it and the port typed (white space, a
// sign, then digits) is a number from 0 to 65535 ("-0" included); and then
// the link connects to that very port, never to a number that wrapped.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "link/server_address.h"
#include "ui/core/server_address_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string text = input.c_str();

  ServerAddress parsed;
  const bool parses = ParseServerAddress(text, &parsed);
  bool portInRange = false;
  unsigned long typed = 0;
  if (parses) {
    // The host starts the text; its ':' follows it.
    if (text.compare(0, parsed.host.size(), parsed.host) != 0) __builtin_trap();
    if (text[parsed.host.size()] != ':') __builtin_trap();
    // The sign is taken apart here: strtoul negates silently, so that
    // "-18446744073709551615" would read as 1.
    const char* port = text.c_str() + parsed.host.size() + 1;
    while (*port == ' ' || (*port >= '\t' && *port <= '\r')) ++port;
    const bool negative = *port == '-';
    if (*port == '-' || *port == '+') ++port;
    errno = 0;
    typed = *port >= '0' && *port <= '9' ? std::strtoul(port, nullptr, 10) : 0;
    portInRange = errno != ERANGE && typed <= 65535 && (!negative || typed == 0);
  }
  const bool valid = ValidateServerAddress(text.c_str());
  if (valid != (parses && portInRange)) __builtin_trap();
  if (valid && parsed.port != typed) __builtin_trap();
  return 0;
}
