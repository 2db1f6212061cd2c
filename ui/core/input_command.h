// The commands of a page's input line: "/msg", "/query", "/join", "/part"
// and "/leave", "/whois", "/clear" and "/help", their words in any case.
// ParseInputCommand says which command a line is, what it names and what is
// missing; a line that is none of them (chat, "/me " and "/action " lines,
// an unknown "/word") is kNone and goes out as it always did. The help
// lines list every command, the two action prefixes included. Pure, over the
// caller's text; any thread, nothing allocated.
#pragma once

#include <cstddef>
#include <string_view>

enum class InputCommand {
  kNone,   // not a command: chat or an action (PrepareInputLine)
  kMsg,    // /msg <nick> <text>: a private message
  kQuery,  // /query <nick> [<text>]: the private page, and the text sent
  kJoin,   // /join <channel>
  kPart,   // /part, /leave: the page closes (a channel page leaves)
  kWhois,  // /whois <nick>: the user's information
  kClear,  // /clear: the console emptied
  kHelp,   // /help: the help lines, shown in the page
};

// What a command lacks; it is then not carried out, and the page shows its
// usage line.
enum class CommandProblem {
  kNone,
  kMissingNick,
  kMissingChannel,
  kMissingText,
};

struct ParsedCommand {
  InputCommand command;
  CommandProblem problem;
  // The nickname or channel named, empty when none; views into the line.
  std::string_view target;
  // What follows the target, leading spaces dropped (/msg and /query).
  std::string_view text;
};

// The command of a typed line: a "/" at its very start, the command word
// (ASCII, any case) up to the first space or the end, then its arguments
// separated by spaces. Words of commands without arguments ignore what
// follows them. kNone for any other line.
ParsedCommand ParseInputCommand(const char* line);

// The line that shows how a command is typed, e.g.
// "/msg <ニックネーム> <本文>"; "" for kNone.
const char* CommandUsage(InputCommand command);

// The help: one line per command and action prefix, its usage and what it
// does, in the order they are listed.
struct HelpLine {
  const char* usage;
  const char* meaning;
};
struct HelpLines {
  const HelpLine* first;
  std::size_t count;
  const HelpLine* begin() const { return first; }
  const HelpLine* end() const { return first + count; }
};
HelpLines InputHelpLines();
