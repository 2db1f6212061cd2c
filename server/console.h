// The operator console: one text line in, one reply out. The program feeds
// it the lines of its standard input; tests feed it lines directly. Runs on
// the server's loop thread (Server::Execute carries lines there).
#pragma once

#include <string>
#include <string_view>

#include "server/chat_hub.h"

namespace orla_server {

// The commands, one per line, as shown by `help` and `orla-server --help`.
extern const char kConsoleHelp[];

// Carries out one line. The reply is zero or more lines, each ending in
// "\n". quit is set when the line asks the server to stop.
std::string RunConsoleLine(ChatHub& hub, std::string_view line, bool* quit);

}  // namespace orla_server
