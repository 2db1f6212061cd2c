// What a client's frames mean: before login only the login line (type 2),
// which is accepted (3 and the MOTD) or refused (4 and a reason, then
// close); after it, requests to the chat hub and the private routes. Called by the server's loop
// for every frame a connection completes, on the loop thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "server/chat_hub.h"
#include "server/connection.h"

namespace orla_server {

// "nick (address)" once logged in, else the address: for log lines.
std::string ClientName(const Connection& connection);

class ClientProtocol {
 public:
  using LogSink = std::function<void(const std::string&)>;

  // motd must outlive the protocol; log receives one line per event.
  ClientProtocol(ChatHub& hub, const std::vector<std::string>& motd, bool verbose, LogSink log)
      : m_hub(hub), m_motd(motd), m_verbose(verbose), m_log(std::move(log)) {}

  // Acts on bytes received from the connection: assembles them into frames
  // and hands each to HandleFrame; a header announcing too long a payload
  // drops the connection. Free of sockets, so it can be fed from anywhere.
  void Receive(Connection* connection, const char* data, std::size_t size);
  // Acts on one frame. Returns false when nothing more should be read from
  // the connection (it was dropped or refused).
  bool HandleFrame(Connection* connection, std::uint16_t type, std::string_view payload);

 private:
  void Login(Connection* connection, std::string_view payload);
  void HandleRequest(User* user, std::uint16_t type, std::string_view payload);

  ChatHub& m_hub;
  const std::vector<std::string>& m_motd;
  bool m_verbose;
  LogSink m_log;
};

}  // namespace orla_server
