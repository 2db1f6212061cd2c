// The demo cast: a few channels (one with a Japanese name and topic) and
// simulated users who chat in Japanese and English, send actions, change
// topics, and join and leave, one event at a time at a human pace. Driven by
// the server's loop thread, which calls Step when the delay it returned
// last has passed.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "server/chat_hub.h"

namespace orla_server {

class DemoCast {
 public:
  // intervalMs is the mean time between events; each delay is drawn from
  // half to one and a half times it.
  DemoCast(ChatHub& hub, unsigned seed, int intervalMs);

  // Creates the channels and the users in their first channels.
  void Setup();
  // Carries out one event and returns the delay to the next, in ms.
  int Step();

  static std::vector<std::string> Motd();

 private:
  User* RandomUser(bool inAChannel);
  void Move(User* user);
  int Delay();

  ChatHub& m_hub;
  std::mt19937 m_random;
  int m_intervalMs;
  std::vector<User*> m_cast;
};

}  // namespace orla_server
