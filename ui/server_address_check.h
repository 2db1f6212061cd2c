// The manager page's check of the server address the user typed, apart from
// the page and from Windows headers, so it builds on every toolchain (the
// native fuzz target runs it). Pure; any thread.
#pragma once

enum : int { kMaxAddressBytes = 255 };

// true for "host:port" with an optional "@field", split as the link splits
// it (last '@' that is not the final character, then the last ':'): a
// non-empty host, and a port text that begins with a number of at most
// 65535 (anything may follow the digits) or is blanks only. A port above
// 65535 fails: the link would quietly use its low 16 bits.
bool ValidateServerAddress(const char* address);
