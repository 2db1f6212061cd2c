// The manager page's check of the server address the user typed, apart from
// the page and from Windows headers, so it builds on every toolchain (the
// native fuzz target runs it). Pure; any thread.
#pragma once

enum : int { kMaxAddressBytes = 255 };

// true when the link can use the address (ParseServerAddress) and its port
// is the number typed: the page adds only that a port above 65535, which
// the link would quietly cut to its low 16 bits, is refused.
bool ValidateServerAddress(const char* address);
