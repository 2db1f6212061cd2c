// Operator commands over the chat hub.
#include "server/console.h"

#include "link/payload.h"

namespace orla_server {

const char kConsoleHelp[] =
    "  notice CHANNEL TEXT   send TEXT to every member of CHANNEL as a notice (425)\n"
    "  topic CHANNEL TEXT    set CHANNEL's topic and tell its members (410)\n"
    "  kick CHANNEL NICK     remove NICK from CHANNEL (401 to NICK, 407 to the rest)\n"
    "  close CHANNEL         remove every member (401) and the channel itself\n"
    "  who [CHANNEL]         list the users online, or CHANNEL's topic and members\n"
    "  quit                  stop the server\n"
    "  help                  show these commands\n";

namespace {

std::string NoChannel(std::string_view name) {
  return "no channel \"" + std::string(name) + "\"\n";
}

std::string DescribeUser(const User& user) {
  std::string line = "  " + user.nick + " files=" + std::to_string(user.files) +
                     " speed=" + std::to_string(user.speed);
  if (user.connection == nullptr) line += " (simulated)";
  for (const Channel* channel : user.channels) line += " " + channel->name;
  return line + "\n";
}

std::string Who(const ChatHub& hub, std::string_view name) {
  if (name.empty()) {
    std::string reply = std::to_string(hub.Users().size()) + " users online\n";
    for (const auto& entry : hub.Users()) reply += DescribeUser(*entry.second);
    return reply;
  }
  const Channel* channel = hub.FindChannel(name);
  if (channel == nullptr) return NoChannel(name);
  std::string reply = channel->name + " (" + std::to_string(channel->members.size()) +
                      " users) topic: " + channel->topic + "\n";
  for (const User* member : channel->members) reply += DescribeUser(*member);
  return reply;
}

}  // namespace

std::string RunConsoleLine(ChatHub& hub, std::string_view line, bool* quit) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  std::string_view rest = line;
  std::string_view command = NextToken(rest);
  if (command.empty()) return std::string();
  if (command == "help") return kConsoleHelp;
  if (command == "quit") {
    *quit = true;
    return "stopping\n";
  }
  if (command == "who") return Who(hub, NextToken(rest));

  if (command != "notice" && command != "topic" && command != "close" && command != "kick") {
    return "unknown command \"" + std::string(command) + "\"; commands:\n" + kConsoleHelp;
  }
  std::string_view channel = NextToken(rest);
  if (channel.empty()) return "usage:\n" + std::string(kConsoleHelp);
  if (command == "notice") {
    return hub.Notice(channel, rest) ? "notice sent\n" : NoChannel(channel);
  }
  if (command == "topic") {
    return hub.SetTopic(channel, rest) ? "topic set\n" : NoChannel(channel);
  }
  if (command == "close") {
    return hub.Close(channel) ? "channel closed\n" : NoChannel(channel);
  }
  // kick
  std::string_view nick = NextToken(rest);
  if (hub.Kick(channel, nick)) return "kicked\n";
  return hub.FindChannel(channel) == nullptr
             ? NoChannel(channel)
             : "no user \"" + std::string(nick) + "\" in " + std::string(channel) + "\n";
}

}  // namespace orla_server
