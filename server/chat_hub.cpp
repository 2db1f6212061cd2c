// Channel membership and the frames each change sends; private messages.
#include "server/chat_hub.h"

#include <algorithm>

#include "link/message_catalogue.h"
#include "server/connection.h"
#include "server/payload.h"

namespace orla_server {

namespace {

bool IsUsableChannelName(std::string_view name) {
  if (name.empty() || name.size() > kMaxChannelName) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return c == ' ' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
  });
}

// "<channel> <nick> <files> <speed>", the body of 406, 407 and 408.
std::string_view UserFrame(FrameBuilder& frame, std::uint16_t type, const Channel& channel,
                           const User& user) {
  return frame.Text(channel.name)
      .Space()
      .Text(user.nick)
      .Space()
      .Number(user.files)
      .Space()
      .Number(user.speed)
      .Finish(type);
}

template <typename T>
void Erase(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

User* ChatHub::AddUser(std::string_view nick, std::uint32_t files, std::uint32_t speed,
                       Connection* connection) {
  if (FindUser(nick) != nullptr) return nullptr;
  auto user = std::make_unique<User>();
  user->nick = std::string(nick);
  user->files = files;
  user->speed = speed;
  user->connection = connection;
  user->since = std::chrono::steady_clock::now();
  User* added = user.get();
  m_users.emplace(added->nick, std::move(user));
  return added;
}

void ChatHub::RemoveUser(User* user) {
  while (!user->channels.empty()) RemoveMember(user->channels.front(), user);
  m_users.erase(m_users.find(user->nick));
}

User* ChatHub::FindUser(std::string_view nick) const {
  auto found = m_users.find(nick);
  return found == m_users.end() ? nullptr : found->second.get();
}

Channel* ChatHub::FindChannel(std::string_view name) const {
  auto found = m_channels.find(name);
  return found == m_channels.end() ? nullptr : found->second.get();
}

Channel* ChatHub::AddChannel(std::string_view name, std::string_view topic, bool persistent) {
  if (!IsUsableChannelName(name)) return nullptr;
  Channel* channel = FindChannel(name);
  if (channel == nullptr) {
    auto created = std::make_unique<Channel>();
    created->name = std::string(name);
    channel = created.get();
    m_channels.emplace(channel->name, std::move(created));
  }
  if (!topic.empty()) channel->topic = std::string(topic);
  channel->persistent = channel->persistent || persistent;
  return channel;
}

bool ChatHub::Join(User* user, std::string_view name) {
  bool already = JoinedChannel(user, name) != nullptr;
  // Without a bound one client could create channels until memory runs out.
  if (!already && user->channels.size() >= kMaxChannelsPerUser) return false;
  Channel* channel = AddChannel(name, {}, false);
  if (channel == nullptr) return false;
  if (!already) {
    channel->members.push_back(user);
    user->channels.push_back(channel);
  }
  // A repeated join gets the same answer (the client then brings its page
  // forward) but tells nobody else.
  Send(user, FrameBuilder().Text(channel->name).Finish(MsgJoined));
  for (const User* member : channel->members) {
    FrameBuilder entry;
    Send(user, UserFrame(entry, MsgUserListEntry, *channel, *member));
  }
  if (!channel->topic.empty()) {
    Send(user, FrameBuilder().Text(channel->name).Space().Text(channel->topic).Finish(MsgTopic));
  }
  if (!already) {
    FrameBuilder entered;
    std::string_view frame = UserFrame(entered, MsgUserEntered, *channel, *user);
    for (const User* member : channel->members) {
      if (member != user) Send(member, frame);
    }
  }
  return true;
}

bool ChatHub::Leave(User* user, std::string_view name) {
  Channel* channel = JoinedChannel(user, name);
  if (channel == nullptr) return false;
  RemoveMember(channel, user);
  return true;
}

bool ChatHub::Chat(User* user, std::string_view name, std::string_view text) {
  return Say(user, name, text, MsgChannelText);
}

bool ChatHub::Act(User* user, std::string_view name, std::string_view text) {
  return Say(user, name, text, MsgAction);
}

bool ChatHub::Say(User* user, std::string_view name, std::string_view text, std::uint16_t type) {
  Channel* channel = JoinedChannel(user, name);
  if (channel == nullptr) return false;
  FrameBuilder frame;
  frame.Text(channel->name).Space().Text(user->nick).Space();
  if (type == MsgAction) {
    frame.Quoted(text);
  } else {
    frame.Text(text);
  }
  Broadcast(*channel, frame.Finish(type));
  return true;
}

Channel* ChatHub::JoinedChannel(const User* user, std::string_view name) const {
  Channel* channel = FindChannel(name);
  if (channel == nullptr) return nullptr;
  bool member =
      std::find(user->channels.begin(), user->channels.end(), channel) != user->channels.end();
  return member ? channel : nullptr;
}

void ChatHub::SendChannelList(User* user) {
  for (const auto& entry : m_channels) {
    const Channel& channel = *entry.second;
    FrameBuilder frame;
    frame.Text(channel.name).Space().Number(static_cast<std::uint32_t>(channel.members.size()));
    if (!channel.topic.empty()) frame.Space().Text(channel.topic);
    Send(user, frame.Finish(MsgChannelListEntry));
  }
}

bool ChatHub::SetTopic(std::string_view name, std::string_view topic) {
  Channel* channel = FindChannel(name);
  if (channel == nullptr) return false;
  channel->topic = std::string(topic);
  FrameBuilder frame;
  Broadcast(*channel, frame.Text(channel->name).Space().Text(topic).Finish(MsgTopic));
  return true;
}

bool ChatHub::Notice(std::string_view name, std::string_view text) {
  Channel* channel = FindChannel(name);
  if (channel == nullptr) return false;
  FrameBuilder frame;
  Broadcast(*channel, frame.Text(channel->name).Space().Text(text).Finish(MsgChannelNotice));
  return true;
}

bool ChatHub::Kick(std::string_view name, std::string_view nick) {
  User* user = FindUser(nick);
  Channel* channel = user == nullptr ? nullptr : JoinedChannel(user, name);
  if (channel == nullptr) return false;
  Send(user, FrameBuilder().Text(channel->name).Finish(MsgLeave));
  RemoveMember(channel, user);
  return true;
}

bool ChatHub::Close(std::string_view name) {
  Channel* channel = FindChannel(name);
  if (channel == nullptr) return false;
  FrameBuilder removed;
  std::string_view frame = removed.Text(channel->name).Finish(MsgLeave);
  for (User* member : channel->members) {
    Send(member, frame);
    Erase(member->channels, channel);
  }
  m_channels.erase(m_channels.find(channel->name));
  return true;
}

void ChatHub::SendPrivate(User* to, const User& from, std::string_view text) {
  if (to->connection == nullptr) {
    if (m_simulatedInbox) m_simulatedInbox(to, from, text);
    return;
  }
  FrameBuilder frame;
  Send(to, frame.Text(from.nick).Space().Text(text).Finish(MsgPrivateMessage));
}

void ChatHub::Send(const User* user, std::string_view frame) {
  if (user->connection != nullptr) user->connection->Queue(frame);
}

void ChatHub::Broadcast(const Channel& channel, std::string_view frame) {
  for (const User* member : channel.members) Send(member, frame);
}

void ChatHub::RemoveMember(Channel* channel, User* user) {
  Erase(channel->members, user);
  Erase(user->channels, channel);
  FrameBuilder left;
  Broadcast(*channel, UserFrame(left, MsgUserLeft, *channel, *user));
  if (channel->members.empty() && !channel->persistent) {
    m_channels.erase(m_channels.find(channel->name));
  }
}

}  // namespace orla_server
