// Fuzz target: ParseInputCommand and PrepareInputLine, the rules that turn
// what the user typed on a page into a command or the chat or action message
// sent. Input: a channel name, a NUL byte, then the typed line. Checks what
// a user relies on: a command starts with "/" and names what it was typed
// with, the message fits one frame, the choice of action or chat follows the
// prefix, the text sent is the start of what was typed, and no double-byte
// character is split.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <strings.h>

#include "link/cp932_text.h"
#include "link/message_catalogue.h"
#include "ui/core/input_command.h"

#define REQUIRE(condition) \
  do {                     \
    if (!(condition)) __builtin_trap(); \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  if (split == std::string::npos) return 0;
  const std::string channel = input.substr(0, split);
  // The edit control hands over a NUL-terminated line.
  const std::string line = input.substr(split + 1).c_str();

  const ParsedCommand command = ParseInputCommand(line.c_str());
  const std::string_view typedLine(line);
  if (command.command != InputCommand::kNone) {
    REQUIRE(line[0] == '/');
    // Both are views of the line, the target one word of it.
    for (const std::string_view part : {command.target, command.text}) {
      REQUIRE(part.empty() || (part.data() >= typedLine.data() &&
                               part.data() + part.size() <= typedLine.data() + typedLine.size()));
    }
    REQUIRE(command.target.find(' ') == std::string_view::npos);
    REQUIRE(command.text.empty() || command.text.front() != ' ');
    const bool missingTarget = command.problem == CommandProblem::kMissingNick ||
                               command.problem == CommandProblem::kMissingChannel;
    if (missingTarget) REQUIRE(command.target.empty() && command.text.empty());
    if (command.problem == CommandProblem::kMissingText) REQUIRE(!command.target.empty());
    REQUIRE(CommandUsage(command.command)[0] == '/');
  } else {
    REQUIRE(command.target.empty() && command.text.empty());
  }

  OutgoingLine out;
  std::memset(&out, 0x55, sizeof out);
  const bool sent = PrepareInputLine(channel.c_str(), line.c_str(), &out);
  REQUIRE(sent == !line.empty());
  if (!sent) return 0;

  const bool me = line.size() >= 4 && strncasecmp(line.c_str(), "/me ", 4) == 0;
  const bool action = me || line.compare(0, 8, "/action ") == 0;
  REQUIRE(out.type == (action ? MsgAction : MsgChat));
  REQUIRE(std::strcmp(out.format, action ? "%s \"%s\"" : "%s %s") == 0);

  const char* typed = line.c_str() + (me ? 4 : action ? 8 : 0);
  const std::size_t length = std::strlen(out.text);
  REQUIRE(length < sizeof out.text);
  REQUIRE(std::strncmp(out.text, typed, length) == 0);
  if (!action) REQUIRE(length <= 500);
  // Whole characters only: the kept text ends on a boundary of the typed one.
  REQUIRE(CharBoundaryLength(typed, length) == length);

  // The formatted payload, as SendFrame builds it, fits one frame.
  char payload[4 * kFrameBufferSize];
  const int formatted =
      std::snprintf(payload, sizeof payload, out.format, channel.c_str(), out.text);
  if (channel.size() + 3 < kMaxSendPayload) REQUIRE(formatted <= kMaxSendPayload);
  // Cut only when it had to be: the next whole character would not fit.
  const std::size_t typedLength = std::strlen(typed);
  if (length < typedLength && (action || length < 500)) {
    const std::size_t next = length + CharLength(typed + length);
    REQUIRE(channel.size() + (action ? 3 : 1) + next > kMaxSendPayload || (!action && next > 500));
  }
  return 0;
}
