// The server address the user types: host, ':', port, optionally '@' and a
// second login field ("quiet" when absent). Parsed by each login attempt on
// the worker; a pure function, any thread.
#pragma once

#include <cstdint>
#include <string>

struct ServerAddress {
  std::string host;
  std::uint16_t port = 0;  // the low 16 bits of the number typed
  // The number typed is the port itself: 0 to 65535 ("-0" and white space
  // alone included). When false the link still uses the low 16 bits, but the
  // user meant another port, and the manager page refuses the address.
  bool portInRange = true;
  std::string secondField = "quiet";
};

// true and *out filled when the text is usable:
// - the last '@' that is not the final character splits off the second field
//   (a trailing '@' stays in the host part);
// - the last ':' of the host part splits host and port; none, or a ':' at
//   the end, or an empty host, is unusable;
// - the port is read as "%u" reads it (leading white space, digits, anything
//   after them ignored); no digits is unusable, except white space alone,
//   which leaves the port at 0.
bool ParseServerAddress(const std::string& text, ServerAddress* out);
