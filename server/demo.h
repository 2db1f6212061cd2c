// The demo cast: a few channels (one with a Japanese name and topic) and
// simulated users who chat in Japanese and English, send actions, change
// topics, and join and leave, one event at a time at a human pace. One of
// them answers private messages: always the first from each person, later
// ones now and then, at its next event, in the language it was written to
// in. Driven by the server's loop thread, which calls Step when the delay it
// returned last has passed.
#pragma once

#include <deque>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "server/chat_hub.h"

namespace orla_server {

class DemoCast {
 public:
  // intervalMs is the mean time between events; each delay is drawn from
  // half to one and a half times it.
  DemoCast(ChatHub& hub, unsigned seed, int intervalMs);
  ~DemoCast();  // the hub's simulated inbox no longer reaches the cast
  DemoCast(const DemoCast&) = delete;
  DemoCast& operator=(const DemoCast&) = delete;

  // Creates the channels and the users in their first channels.
  void Setup();
  // Carries out one event and returns the delay to the next, in ms.
  int Step();

  static std::vector<std::string> Motd();

 private:
  struct Reply {
    User* from;      // a cast member: never removed from the hub
    std::string to;  // by name, so one who has gone meanwhile is not sought
    bool japanese;
  };

  // The simulated inbox: notes an answer to give at the next event.
  void NotePrivateMessage(User* to, const User& from, std::string_view text);
  // Gives the oldest answer noted; false when there is none.
  bool Answer();
  User* RandomUser(bool inAChannel);
  void Move(User* user);
  int Delay();

  ChatHub& m_hub;
  std::mt19937 m_random;
  int m_intervalMs;
  std::vector<User*> m_cast;
  std::deque<Reply> m_replies;
  // Who has had an answer already; bounded, so the set cannot grow without
  // end (forgetting only means another first answer).
  std::set<std::string, std::less<>> m_answered;
};

}  // namespace orla_server
