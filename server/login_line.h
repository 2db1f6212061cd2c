// Taking apart and checking a login line (type 2):
//   <nick> <second field> <port> "<client>" <speed>
// The quoted client name anchors the parse, so a nickname that itself holds
// a space is seen as such and refused for it. Pure functions; any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace orla_server {

struct LoginRequest {
  std::string_view nick;
  std::string_view secondField;
  std::string_view client;
  std::uint32_t port = 0;
  std::uint32_t speed = 0;
};

// Fills request and returns null when the line is well formed and the
// nickname acceptable; otherwise returns the reason text sent with the
// refusal. Whether the nickname is already online is the caller's check.
const char* ParseLogin(std::string_view payload, LoginRequest* request);

// Why the text cannot be a nickname (the reason a login is refused with, and
// the notice for a request naming it), or null when it can be one.
const char* NicknameProblem(std::string_view nick);

}  // namespace orla_server
