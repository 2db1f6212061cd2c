// Private messages, user information and pings between users.
#include "server/private_routes.h"

#include <chrono>

#include "link/message_catalogue.h"
#include "link/payload.h"
#include "server/login_line.h"
#include "server/payload.h"

namespace orla_server {

namespace {

using Clock = std::chrono::steady_clock;

// The server knows nothing of ranks, away states or file transfers.
const char kLevel[] = "User";
const char kStatus[] = "Active";

// The user a request names, or null once the sender has been told why there
// is none: the nickname's problem, or that no one by it is online. The
// notice never repeats a name that cannot be a nickname.
User* NamedUser(ChatHub& hub, const User* from, std::string_view nick) {
  const char* problem = NicknameProblem(nick);
  User* user = problem == nullptr ? hub.FindUser(nick) : nullptr;
  if (user != nullptr) return user;
  FrameBuilder notice;
  if (problem != nullptr) {
    notice.Text(problem);
  } else {
    notice.Text(nick).Text(" is not currently online");
  }
  ChatHub::Send(from, notice.Finish(MsgServerNotice));
  return nullptr;
}

// 604 for user. Channel names fill what the fields after them leave, whole
// names only (a cut one would name another channel), so the client field
// always arrives.
std::string_view UserInfoFrame(FrameBuilder& frame, const User& user) {
  FrameBuilder tail;
  tail.Text("\" \"")
      .Text(kStatus)
      .Text("\" ")
      .Number(user.files)
      .Text(" 0 0 ")
      .Number(user.speed)
      .Text(" \"")
      .QuoteFree(user.client)
      .Text("\"");
  const auto online = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - user.since);
  frame.Text(user.nick)
      .Text(" \"")
      .Text(kLevel)
      .Text("\" ")
      .Number(static_cast<std::uint32_t>(online.count()))
      .Text(" \"");
  bool first = true;
  for (const Channel* channel : user.channels) {
    const std::size_t need = channel->name.size() + (first ? 0 : 1);
    if (need + tail.Payload().size() > frame.Room()) break;
    if (!first) frame.Space();
    frame.QuoteFree(channel->name);
    first = false;
  }
  return frame.Text(tail.Payload()).Finish(MsgUserInfo);
}

}  // namespace

void RoutePrivateMessage(ChatHub& hub, User* from, std::string_view payload) {
  std::string_view text = payload;
  const std::string_view nick = NextToken(text);
  if (text.empty()) return;
  if (User* to = NamedUser(hub, from, nick)) hub.SendPrivate(to, *from, text);
}

void AnswerUserInfo(ChatHub& hub, User* asker, std::string_view payload) {
  std::string_view rest = payload;
  if (const User* user = NamedUser(hub, asker, NextToken(rest))) {
    FrameBuilder frame;
    ChatHub::Send(asker, UserInfoFrame(frame, *user));
  }
}

void RelayPing(ChatHub& hub, User* from, std::uint16_t type, std::string_view payload) {
  std::string_view rest = payload;
  const std::string_view nick = NextToken(rest);
  // "<nick>" and "<nick> " stay apart, so the answer matches the ping.
  const bool hasRest = payload.size() > nick.size();
  auto relayed = [&](FrameBuilder& frame, const User& sender, std::uint16_t relayedType) {
    frame.Text(sender.nick);
    if (hasRest) frame.Space().Text(rest);
    return frame.Finish(relayedType);
  };
  FrameBuilder frame;
  if (type == MsgUserPingReply) {
    // The pinger may have gone meanwhile; the answerer did nothing wrong,
    // so it is told nothing.
    if (const User* pinger = hub.FindUser(nick)) ChatHub::Send(pinger, relayed(frame, *from, type));
    return;
  }
  // Counted before the name is looked at, so a storm of pings at no one
  // brings no storm of notices either.
  if (!from->pings.Take(Clock::now())) return;
  User* target = NamedUser(hub, from, nick);
  if (target == nullptr) return;
  if (target->connection == nullptr) {
    ChatHub::Send(from, relayed(frame, *target, MsgUserPingReply));
  } else {
    ChatHub::Send(target, relayed(frame, *from, MsgUserPing));
  }
}

}  // namespace orla_server
