// orla-server: runs the server loop on its own thread and feeds the lines
// of standard input to the operator console. Logs go to standard error,
// console replies to standard output.
#include <cstdio>
#include <iostream>
#include <string>

#include "server/options.h"
#include "server/server.h"
#include "server/server_sockets.h"
#include "server/terminal_text.h"

int main(int argc, char** argv) {
  using namespace orla_server;
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "orla-server: %s (see --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  RaiseDescriptorLimit();
  options.config.log = [](std::string_view line) {
    std::fprintf(stderr, "%s\n", ToTerminalText(line).c_str());
  };
  Server server(options.config);
  if (!server.Start(&error)) {
    std::fprintf(stderr, "orla-server: %s\n", error.c_str());
    return 1;
  }
  std::printf("orla-server: listening on %s:%u%s\n", options.config.bindAddress.c_str(),
              static_cast<unsigned>(server.Port()), options.config.demo ? " (demo)" : "");
  std::fflush(stdout);
  std::string line;
  while (std::getline(std::cin, line)) {
    std::fputs(ToTerminalText(server.Execute(ToWireText(line))).c_str(), stdout);
    std::fflush(stdout);
    if (server.IsStopping()) break;
  }
  // Without a console (standard input closed) the server runs until killed.
  server.WaitUntilStopped();
  return 0;
}
