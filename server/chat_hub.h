// Users, channels and the messages they cause: joins, leaves, chat, actions,
// topics, notices, kicks, the channel list and private messages. Real
// clients and simulated demo users are both users here; only those with a
// connection are sent anything. Every operation runs on the server's loop thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "server/rate_bound.h"

namespace orla_server {

class Connection;
struct Channel;

// The pings a user may send at once, and how soon another is allowed.
enum : int { kPingBurst = 5 };
constexpr std::chrono::seconds kPingPeriod{1};

struct User {
  std::string nick;
  std::uint32_t files = 0;
  std::uint32_t speed = 0;
  Connection* connection = nullptr;             // null for a simulated user
  std::vector<Channel*> channels;               // in the order joined
  std::string client;                           // the login's client name, for 604
  std::chrono::steady_clock::time_point since;  // when the user came online
  RateBound pings{kPingBurst, kPingPeriod};
};

struct Channel {
  std::string name;
  std::string topic;
  bool persistent = false;     // configured channels stay when they empty
  std::vector<User*> members;  // in the order joined
};

// A client name is a short label; the rest of a long one is not kept.
enum : std::size_t { kMaxChannelName = 64, kMaxChannelsPerUser = 100, kMaxClientName = 64 };

class ChatHub {
 public:
  using UserMap = std::map<std::string, std::unique_ptr<User>, std::less<>>;
  using ChannelMap = std::map<std::string, std::unique_ptr<Channel>, std::less<>>;

  // Null when the nickname is already online.
  User* AddUser(std::string_view nick, std::uint32_t files, std::uint32_t speed,
                Connection* connection);
  // Leaves every channel (407 to the rest of each), then forgets the user.
  void RemoveUser(User* user);
  User* FindUser(std::string_view nick) const;

  Channel* FindChannel(std::string_view name) const;
  // Creates the channel if needed; an existing channel keeps its topic
  // unless one is given. Null for a name that cannot be a channel.
  Channel* AddChannel(std::string_view name, std::string_view topic, bool persistent);

  // 405 and the member list (408s) and topic (410) to the user, 406 to the
  // others. A name that does not exist yet is created. Returns false for an
  // unusable name (empty, a space or a control byte, too long) and for a
  // user already in kMaxChannelsPerUser channels.
  bool Join(User* user, std::string_view name);
  // 407 to the remaining members; false when the user was not a member.
  bool Leave(User* user, std::string_view name);
  // 403 "<channel> <nick> <text>" to every member, the sender included.
  bool Chat(User* user, std::string_view name, std::string_view text);
  // 824 "<channel> <nick> \"<text>\"" to every member.
  bool Act(User* user, std::string_view name, std::string_view text);
  // One 618 "<channel> <users> <topic>" per channel.
  void SendChannelList(User* user);

  // Operator and demo actions; false when the channel (or user) is unknown.
  bool SetTopic(std::string_view name, std::string_view topic);
  bool Notice(std::string_view name, std::string_view text);
  // 401 "<channel>" to the user, 407 to the others.
  bool Kick(std::string_view name, std::string_view nick);
  // Kicks every member and removes the channel.
  bool Close(std::string_view name);

  // 205 "<sender> <text>" to a connected user; a simulated one's message goes
  // to the simulated inbox instead.
  void SendPrivate(User* to, const User& from, std::string_view text);
  // Who is told of private messages to simulated users (the demo cast); no
  // one when empty. It may only note them: answering within the call would
  // run a route inside another.
  using SimulatedInbox = std::function<void(User* to, const User& from, std::string_view text)>;
  void SetSimulatedInbox(SimulatedInbox inbox) { m_simulatedInbox = std::move(inbox); }

  // Sends one frame to one user (nothing for a simulated user).
  static void Send(const User* user, std::string_view frame);

  const UserMap& Users() const { return m_users; }

 private:
  // Chat (403) or action (824, text quoted) from a member to the channel.
  bool Say(User* user, std::string_view name, std::string_view text, std::uint16_t type);
  // The named channel when the user is one of its members, else null.
  Channel* JoinedChannel(const User* user, std::string_view name) const;
  void Broadcast(const Channel& channel, std::string_view frame);
  // Takes the user out of the channel, tells the rest with 407, and forgets
  // a non-persistent channel that became empty.
  void RemoveMember(Channel* channel, User* user);

  UserMap m_users;
  ChannelMap m_channels;
  SimulatedInbox m_simulatedInbox;
};

}  // namespace orla_server
