// The message types the server reads and writes. Plain constants; any thread.
#pragma once

#include <cstdint>

namespace orla_server {

enum MessageType : std::uint16_t {
  kMsgLogin = 2,
  kMsgLoginAccepted = 3,
  kMsgLoginRefused = 4,  // payload: the reason, a short English text
  kMsgJoin = 400,
  kMsgLeave = 401,  // from a client: it leaves; from the server: it was removed
  kMsgChat = 402,
  kMsgChannelText = 403,
  kMsgJoined = 405,
  kMsgUserEntered = 406,
  kMsgUserLeft = 407,
  kMsgUserListEntry = 408,
  kMsgTopic = 410,
  kMsgChannelNotice = 425,
  kMsgChannelListRequest = 617,
  kMsgChannelListEntry = 618,
  kMsgMotd = 621,
  kMsgAction = 824,
};

}  // namespace orla_server
