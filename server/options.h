// The command line of orla-server. Called once by main, on its thread.
#pragma once

#include <string>

#include "server/server.h"

namespace orla_server {

struct Options {
  ServerConfig config;
  bool help = false;
};

// The text of --help: options and operator console commands.
std::string UsageText();

// Fills options from the arguments. On a bad option, a missing value, a bad
// port or an unreadable MOTD file returns false with a one-line reason.
// Texts given in the terminal's character set are turned into CP932.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

}  // namespace orla_server
