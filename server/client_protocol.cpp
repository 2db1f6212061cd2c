// The login and the requests of logged-in clients.
#include "server/client_protocol.h"

#include <cstdio>
#include <utility>

#include "link/cp932_text.h"
#include "link/message_catalogue.h"
#include "link/payload.h"
#include "server/login_line.h"
#include "server/payload.h"
#include "server/private_routes.h"

namespace orla_server {

namespace {

// The text between an action's quotes; a missing quote is forgiven.
std::string_view Unquote(std::string_view text) {
  if (!text.empty() && text.front() == '"') text.remove_prefix(1);
  if (!text.empty() && text.back() == '"') text.remove_suffix(1);
  return text;
}

}  // namespace

std::string ClientName(const Connection& connection) {
  return connection.GetUser() != nullptr
             ? connection.GetUser()->nick + " (" + connection.Peer() + ")"
             : connection.Peer();
}

void ClientProtocol::Receive(Connection* connection, const char* data, std::size_t size) {
  FrameReader::Status status =
      connection->Reader().Feed(data, size, [&](std::uint16_t type, std::string_view payload) {
        return HandleFrame(connection, type, payload);
      });
  if (status == FrameReader::Status::kOversized) {
    connection->Drop("frame longer than 1023 bytes");
  }
}

bool ClientProtocol::HandleFrame(Connection* connection, std::uint16_t type,
                                 std::string_view payload) {
  if (m_verbose) {
    char header[24];
    std::snprintf(header, sizeof header, "[%04u][%04u] ", static_cast<unsigned>(payload.size()),
                  static_cast<unsigned>(type));
    m_log(ClientName(*connection) + " sent " + header + std::string(payload));
  }
  switch (connection->GetState()) {
    case Connection::State::kAwaitingLogin:
      if (type != MsgLogin) {
        connection->Drop("message before login");
        return false;
      }
      Login(connection, payload);
      // Nothing more is read from a refused client.
      return connection->GetState() == Connection::State::kOnline;
    case Connection::State::kOnline:
      HandleRequest(connection->GetUser(), type, payload);
      return !connection->IsDropped();
    case Connection::State::kClosing:
      break;
  }
  return false;
}

void ClientProtocol::Login(Connection* connection, std::string_view payload) {
  LoginRequest request;
  const char* refusal = ParseLogin(payload, &request);
  if (refusal == nullptr && m_hub.FindUser(request.nick) != nullptr) {
    refusal = "nickname is already online";
  }
  if (refusal != nullptr) {
    connection->Queue(FrameBuilder().Text(refusal).Finish(MsgLoginRefused));
    connection->CloseAfterOutput();
    m_log("refused " + connection->Peer() + ": " + refusal);
    return;
  }
  User* user = m_hub.AddUser(request.nick, 0, request.speed, connection);
  user->client =
      std::string(request.client.substr(0, CharBoundaryLength(request.client, kMaxClientName)));
  connection->SetUser(user);
  connection->SetState(Connection::State::kOnline);
  connection->Queue(FrameBuilder().Text(user->nick).Finish(MsgLoginAccepted));
  for (const std::string& line : m_motd) {
    connection->Queue(FrameBuilder().Text(line).Finish(MsgMotd));
  }
  m_log("login " + ClientName(*connection) + " with \"" + std::string(request.client) + "\"");
}

void ClientProtocol::HandleRequest(User* user, std::uint16_t type, std::string_view payload) {
  std::string_view rest = payload;
  switch (type) {
    case MsgJoin:
      m_hub.Join(user, payload);
      break;
    case MsgLeave:
      m_hub.Leave(user, payload);
      break;
    case MsgChat: {
      std::string_view channel = NextToken(rest);
      m_hub.Chat(user, channel, rest);
      break;
    }
    case MsgAction: {
      std::string_view channel = NextToken(rest);
      m_hub.Act(user, channel, Unquote(rest));
      break;
    }
    case MsgChannelListRequest:
      m_hub.SendChannelList(user);
      break;
    case MsgPrivateMessage:
      RoutePrivateMessage(m_hub, user, payload);
      break;
    case MsgUserInfoRequest:
      AnswerUserInfo(m_hub, user, payload);
      break;
    case MsgUserPing:
    case MsgUserPingReply:
      RelayPing(m_hub, user, type, payload);
      break;
    default:
      // Other types (a second login too) mean nothing once logged in.
      break;
  }
}

}  // namespace orla_server
