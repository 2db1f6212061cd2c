// The commands of a page's input line (CChannelPage members): what
// ParseInputCommand makes of a typed line, carried out on a channel or
// private page; a command's mistakes are said in the page, a join while
// offline in the message box the manager page's join uses. See
// channel_page.h and ui/core/input_command.h.
#include <cstdarg>
#include <string_view>

#include "link/log_sink.h"
#include "link/message_catalogue.h"
#include "ui/core/colours.h"
#include "ui/core/console_line.h"
#include "ui/core/input_command.h"
#include "ui/pages/channel_page.h"
#include "ui/pages/channel_page_host.h"

namespace {

const char kNotConnected[] = "サーバに未接続です";

const char* ProblemText(CommandProblem problem) {
  switch (problem) {
    case CommandProblem::kMissingNick:
      return "ニックネームがありません";
    case CommandProblem::kMissingChannel:
      return "チャンネル名がありません";
    case CommandProblem::kMissingText:
      return "本文がありません";
    case CommandProblem::kNone:
      break;
  }
  return "";
}

// A view of the typed line as a text of its own (the line fits the buffer).
void CopyView(std::string_view view, char* buffer) {
  FormatConsoleLine(buffer, "%.*s", static_cast<int>(view.size()), view.data());
}

}  // namespace

void CChannelPage::SayInPage(COLORREF colour, const char* format, ...) {
  char line[kConsoleLineSize];
  va_list args;
  va_start(args, format);
  FormatLogLine(line, format, args);
  va_end(args);
  AppendConsole(colour, line);
}

CChannelPage::CommandOutcome CChannelPage::RunInputCommand(const char* line) {
  const ParsedCommand parsed = ParseInputCommand(line);
  if (parsed.command == InputCommand::kNone) return CommandOutcome::kNotACommand;
  if (parsed.problem != CommandProblem::kNone) {
    SayInPage(kDiagnosticColour, "%s (使い方: %s)\r\n", ProblemText(parsed.problem),
              CommandUsage(parsed.command));
    return CommandOutcome::kRefused;
  }
  char target[kConsoleLineSize];
  CopyView(parsed.target, target);
  // What goes to the server is refused when it cannot go: the line stays.
  switch (parsed.command) {
    case InputCommand::kHelp:
      SayInPage(kWhite, "コマンド:\r\n");
      for (const HelpLine& help : InputHelpLines())
        SayInPage(kWhite, "  %s  %s\r\n", help.usage, help.meaning);
      return CommandOutcome::kDone;
    case InputCommand::kClear:
      m_console.Clear();
      return CommandOutcome::kDone;
    case InputCommand::kPart:
      // As the Leave (or close) button: this page is gone afterwards.
      OnLeave();
      return CommandOutcome::kPageClosed;
    case InputCommand::kJoin:
      if (SendJoin(m_host->GetServerLink(), target)) return CommandOutcome::kDone;
      MessageBox(kNotConnected, "エラー", MB_OK);
      return CommandOutcome::kRefused;
    case InputCommand::kWhois:
      if (m_host->AskUserInfo(this, target)) return CommandOutcome::kDone;
      break;
    case InputCommand::kMsg:
    case InputCommand::kQuery: {
      char text[kConsoleLineSize];
      CopyView(parsed.text, text);
      return SendPrivately(target, text, parsed.command == InputCommand::kQuery);
    }
    case InputCommand::kNone:
      break;
  }
  SayInPage(kDiagnosticColour, "%s\r\n", kNotConnected);
  return CommandOutcome::kRefused;
}

CChannelPage::CommandOutcome CChannelPage::SendPrivately(const char* nick, const char* text,
                                                         bool show) {
  OutgoingLine line;
  const bool hasText = PreparePrivateLine(nick, text, &line);
  // Sent first: a line that cannot go opens no page.
  if (hasText && !SendInputLine(m_host->GetServerLink(), nick, line)) {
    SayInPage(kDiagnosticColour, "%s\r\n", kNotConnected);
    return CommandOutcome::kRefused;
  }
  // The page may be this one; with show it takes the focus.
  CChannelPage* page = m_host->OpenPrivatePage(nick, show);
  if (page == nullptr) SayInPage(kDiagnosticColour, "%s さんの個人ページを開けません\r\n", nick);
  if (!hasText) return page != nullptr ? CommandOutcome::kDone : CommandOutcome::kRefused;
  if (page != nullptr) page->ShowOwnLine(line.text);
  // Said here too when it went to another page, so the typing page shows
  // where the line went.
  if (page != this) SayInPage(kNickYellow, "-> *%s* %s\r\n", nick, line.text);
  return CommandOutcome::kDone;
}
