// Login line parsing and nickname rules.
#include "server/login_line.h"

#include <string>

#include "link/message_catalogue.h"
#include "link/payload.h"

namespace orla_server {

namespace {

const char kMalformed[] = "malformed login line";

const char* TooLongReason() {
  static const std::string reason =
      "nickname is longer than " + std::to_string(kMaxNicknameBytes) + " bytes";
  return reason.c_str();
}

// Splits "<a> <b>" at its last space: b goes to last, a stays in text.
bool TakeLastField(std::string_view& text, std::string_view* last) {
  std::size_t space = text.rfind(' ');
  if (space == std::string_view::npos) return false;
  *last = text.substr(space + 1);
  text = text.substr(0, space);
  return true;
}

}  // namespace

const char* ParseLogin(std::string_view payload, LoginRequest* request) {
  std::size_t open = payload.find('"');
  std::size_t close = payload.rfind('"');
  if (open == std::string_view::npos || close == open || open == 0 || payload[open - 1] != ' ') {
    return kMalformed;
  }
  std::string_view head = payload.substr(0, open - 1);
  std::string_view port;
  if (!TakeLastField(head, &port) || !TakeLastField(head, &request->secondField)) {
    return kMalformed;
  }
  request->nick = head;
  request->port = LeadingDigits(port);
  request->client = payload.substr(open + 1, close - open - 1);
  std::string_view speed = payload.substr(close + 1);
  request->speed = !speed.empty() && speed[0] == ' ' ? LeadingDigits(speed.substr(1)) : 0;

  return NicknameProblem(head);
}

const char* NicknameProblem(std::string_view nick) {
  if (nick.empty()) return "nickname is empty";
  if (nick.size() > static_cast<std::size_t>(kMaxNicknameBytes)) return TooLongReason();
  for (char c : nick) {
    if (c == ' ') return "nickname has a space";
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return "nickname has a control character";
  }
  return nullptr;
}

}  // namespace orla_server
