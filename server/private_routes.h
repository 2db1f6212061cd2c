// Requests that name a user instead of a channel: a private message (205),
// a user information request (603, answered with 604) and a ping between
// two users (751) with its answer (752). Relayed the same way both ways:
// "<nick> [<rest>]" reaches nick as "<sender> [<rest>]". A request naming no
// one online is answered with a server notice (404); an answer to a ping
// whose sender has gone is dropped. Loop thread only.
#pragma once

#include <cstdint>
#include <string_view>

#include "server/chat_hub.h"

namespace orla_server {

// 205 "<nick> <text>": the text to nick as 205 "<sender> <text>". A
// message without text is ignored.
void RoutePrivateMessage(ChatHub& hub, User* from, std::string_view payload);
// 603 "<nick>": 604 with nick's information to the asker.
void AnswerUserInfo(ChatHub& hub, User* asker, std::string_view payload);
// 751 or 752 "<nick> [<rest>]": the same type to nick with the sender's
// nickname in front of the rest. A simulated user answers a ping at once.
// Pings beyond kPingBurst at once (one more each kPingPeriod) are dropped,
// so no one can make another's client answer without end.
void RelayPing(ChatHub& hub, User* from, std::uint16_t type, std::string_view payload);

}  // namespace orla_server
