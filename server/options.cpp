// Command line parsing for orla-server.
#include "server/options.h"

#include <cstring>
#include <fstream>
#include <random>

#include "server/console.h"
#include "server/demo.h"
#include "server/terminal_text.h"

namespace orla_server {

namespace {

const char kDefaultMotd[] = "Welcome to the Orla chat server.";

bool ParsePort(const std::string& text, std::uint16_t* port) {
  if (text.empty() || text.size() > 5) return false;
  unsigned long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value > 65535) return false;
  *port = static_cast<std::uint16_t>(value);
  return true;
}

bool ReadMotd(const std::string& path, std::vector<std::string>* lines, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot read MOTD file \"" + path + "\"";
    return false;
  }
  lines->clear();
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(ToWireText(line));
  }
  return true;
}

}  // namespace

std::string UsageText() {
  return std::string(
             "usage: orla-server [options]\n"
             "An Orla chat server: channels with topics and user lists, chat, actions,\n"
             "a channel list, a message of the day and notices.\n"
             "\n"
             "options:\n"
             "  --bind ADDRESS         address to listen on (default 127.0.0.1)\n"
             "  --port PORT            TCP port, 0 for any free one (default 4000)\n"
             "  --motd FILE            message of the day, one line per message\n"
             "  --channel NAME[=TOPIC] a channel that always exists (repeatable)\n"
             "  --demo                 simulated users chat in a few channels\n"
             "  --verbose              log every frame received\n"
             "  --help                 show this text\n"
             "\n"
             "operator console: type a command on standard input and press Enter\n") +
         kConsoleHelp;
}

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
  ServerConfig& config = options->config;
  config.port = 4000;
  config.demoSeed = std::random_device()();
  bool motdGiven = false;
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    std::string value;
    bool has_value = false;
    std::size_t equals = name.find('=');
    if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
      has_value = true;
    }
    auto takeValue = [&]() {
      if (has_value) return true;
      if (i + 1 >= argc) {
        *error = "option " + name + " needs a value";
        return false;
      }
      value = argv[++i];
      return true;
    };
    if (name == "--help" || name == "-h") {
      options->help = true;
    } else if (name == "--demo") {
      config.demo = true;
    } else if (name == "--verbose") {
      config.verbose = true;
    } else if (name == "--bind") {
      if (!takeValue()) return false;
      config.bindAddress = value;
    } else if (name == "--port") {
      if (!takeValue()) return false;
      if (!ParsePort(value, &config.port)) {
        *error = "bad port \"" + value + "\" (expected 0 to 65535)";
        return false;
      }
    } else if (name == "--motd") {
      if (!takeValue() || !ReadMotd(value, &config.motd, error)) return false;
      motdGiven = true;
    } else if (name == "--channel") {
      if (!takeValue()) return false;
      std::string wire = ToWireText(value);
      std::size_t split = wire.find('=');
      config.channels.emplace_back(wire.substr(0, split),
                                   split == std::string::npos ? "" : wire.substr(split + 1));
    } else {
      *error = "unknown option \"" + std::string(argv[i]) + "\"";
      return false;
    }
  }
  if (!motdGiven) {
    config.motd = config.demo ? DemoCast::Motd() : std::vector<std::string>{kDefaultMotd};
  }
  return true;
}

}  // namespace orla_server
