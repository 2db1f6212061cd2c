// Text between the terminal and the wire. The wire is CP932; a POSIX
// terminal is normally UTF-8, a Japanese Windows console already CP932.
// Text that is not valid UTF-8 is taken to be CP932 already and passed
// through, so CP932 files and consoles work too. Pure functions; any thread.
#pragma once

#include <string>
#include <string_view>

namespace orla_server {

// Terminal (or file) text to CP932.
std::string ToWireText(std::string_view text);
// CP932 to the terminal's character set, for display.
std::string ToTerminalText(std::string_view text);

}  // namespace orla_server
