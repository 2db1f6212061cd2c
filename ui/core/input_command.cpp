// The input line's commands: the table of words, their arguments and their
// help. See input_command.h.
#include "ui/core/input_command.h"

#include <algorithm>
#include <cstring>

#include "link/cp932_text.h"

namespace {

// What a command takes after its word.
enum class Takes {
  kNothing,
  kNick,          // /whois
  kNickAndText,   // /msg
  kNickMaybeText, // /query
  kChannel,       // /join
};

// The help, in the order it is listed; the commands' rows point into it.
const HelpLine kHelp[] = {
    {"/msg <ニックネーム> <本文>", "その人に個人メッセージを送る"},
    {"/query <ニックネーム>", "その人との個人ページを開く"},
    {"/join <チャンネル>", "チャンネルに入室する"},
    {"/part", "このページを閉じる (チャンネルは退室する)"},
    {"/leave", "/part と同じ"},
    {"/whois <ニックネーム>", "その人のユーザー情報を見る"},
    {"/clear", "このページの表示を消す"},
    {"/help", "この一覧を表示する"},
    {"/me <動作>", "動作を送る (/action も同じ)"},
};

struct CommandRow {
  const char* word;  // without its "/"
  InputCommand command;
  Takes takes;
  const HelpLine* help;
};

const CommandRow kCommands[] = {
    {"msg", InputCommand::kMsg, Takes::kNickAndText, &kHelp[0]},
    {"query", InputCommand::kQuery, Takes::kNickMaybeText, &kHelp[1]},
    {"join", InputCommand::kJoin, Takes::kChannel, &kHelp[2]},
    {"part", InputCommand::kPart, Takes::kNothing, &kHelp[3]},
    {"leave", InputCommand::kPart, Takes::kNothing, &kHelp[4]},
    {"whois", InputCommand::kWhois, Takes::kNick, &kHelp[5]},
    {"clear", InputCommand::kClear, Takes::kNothing, &kHelp[6]},
    {"help", InputCommand::kHelp, Takes::kNothing, &kHelp[7]},
};

std::string_view SkipSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

// The token at the start of text (up to a space), and text moved past it.
std::string_view TakeToken(std::string_view& text) {
  const std::size_t end = std::min(text.find(' '), text.size());
  const std::string_view token = text.substr(0, end);
  text.remove_prefix(end);
  return token;
}

const CommandRow* FindCommand(std::string_view word) {
  for (const CommandRow& row : kCommands) {
    if (std::strlen(row.word) != word.size()) continue;
    if (StartsWithIgnoringCase(word.data(), row.word, word.size())) return &row;
  }
  return nullptr;
}

}  // namespace

ParsedCommand ParseInputCommand(const char* line) {
  ParsedCommand parsed = {InputCommand::kNone, CommandProblem::kNone, {}, {}};
  if (line == nullptr || line[0] != '/') return parsed;
  std::string_view rest(line + 1);
  const CommandRow* row = FindCommand(TakeToken(rest));
  if (row == nullptr) return parsed;
  parsed.command = row->command;
  if (row->takes == Takes::kNothing) return parsed;
  rest = SkipSpaces(rest);
  parsed.target = TakeToken(rest);
  parsed.text = SkipSpaces(rest);
  if (parsed.target.empty()) {
    parsed.problem =
        row->takes == Takes::kChannel ? CommandProblem::kMissingChannel : CommandProblem::kMissingNick;
  } else if (row->takes == Takes::kNickAndText && parsed.text.empty()) {
    parsed.problem = CommandProblem::kMissingText;
  }
  return parsed;
}

const char* CommandUsage(InputCommand command) {
  for (const CommandRow& row : kCommands) {
    if (row.command == command) return row.help->usage;
  }
  return "";
}

HelpLines InputHelpLines() { return {kHelp, sizeof(kHelp) / sizeof(kHelp[0])}; }
