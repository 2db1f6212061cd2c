// The in-process server and the chat users. See integration_fixture.h.
#include "integration_fixture.h"

#include <algorithm>
#include <chrono>

#include "link/message_catalogue.h"
#include "ui/core/channel_messages.h"

ChatUser::ChatUser() {
  link.SetLogSink(&recorder);
  recorder.onMessage = [this](const MessageRecord& record) {
    CPayloadCopy copy(record);
    SeenMessage seen = {record.type, record.payload, "", "", 0, 0, ""};
    if (record.type == MsgChannelListEntry) {
      const ChannelListFields fields = ReadChannelListFields(copy);
      seen.channel = fields.channel;
      seen.nick = fields.users;
      seen.text = fields.topic;
    } else {
      // The fields the channel page reads; the channel and the rest for the
      // types it does not take.
      const ChannelMessageRow* row = FindChannelMessage(record.type);
      const ChannelFields fields = ReadChannelFields(copy, row ? row->fields : ChannelFieldSet{});
      seen.channel = fields.channel;
      seen.nick = fields.nick;
      seen.files = fields.files;
      seen.speed = fields.speed;
      // The text as the page's table reads it; the rest where it shows none.
      const bool shown = row != nullptr && row->text != ChannelText::kNone;
      seen.text = shown ? ReadChannelText(*row, copy, fields) : fields.rest;
    }
    m_seen.push_back(seen);
    return 1;
  };
}

std::vector<SeenMessage> ChatUser::Seen(unsigned type) const {
  std::vector<SeenMessage> found;
  for (const SeenMessage& seen : m_seen)
    if (seen.type == type) found.push_back(seen);
  return found;
}

std::size_t ChatUser::SeenCount(unsigned type) const {
  return static_cast<std::size_t>(std::count_if(
      m_seen.begin(), m_seen.end(), [type](const SeenMessage& seen) { return seen.type == type; }));
}

bool ChatUser::Type(const std::string& channel, const std::string& line) {
  OutgoingLine out;
  if (!PrepareInputLine(channel.c_str(), line.c_str(), &out)) return false;
  return SendInputLine(&link, channel.c_str(), out) == 1;
}

bool ChatUser::ServeUntil(const std::function<bool()>& done) { return ::ServeUntil(queue, done); }

void IntegrationTest::TearDown() {
  // Every link ends before the server: a user's Stop serves its own queue.
  for (auto& user : users) user->link.Stop();
}

void IntegrationTest::StartServer() {
  server = std::make_unique<orla_server::Server>(config);
  std::string error;
  ASSERT_TRUE(server->Start(&error)) << error;
  ASSERT_NE(0, server->Port());
}

std::string IntegrationTest::Address() const {
  return "127.0.0.1:" + std::to_string(server ? server->Port() : 0);
}

ChatUser& IntegrationTest::Connect(const std::string& nickname) {
  users.push_back(std::make_unique<ChatUser>());
  ChatUser& user = *users.back();
  user.nickname = nickname;
  EXPECT_EQ(1, user.link.Start(&user.queue, Address(), nickname));
  return user;
}

ChatUser& IntegrationTest::Online(const std::string& nickname) {
  ChatUser& user = Connect(nickname);
  EXPECT_TRUE(WaitFor(user, "online"));
  EXPECT_TRUE(WaitForType(user, MsgMotd, config.motd.size()));
  return user;
}

void IntegrationTest::Join(ChatUser& user, const std::string& channel) {
  auto ownRows = [&] {
    return std::count_if(user.All().begin(), user.All().end(), [&](const SeenMessage& row) {
      return row.type == MsgUserListEntry && row.channel == channel && row.nick == user.nickname;
    });
  };
  const auto before = ownRows();
  ASSERT_EQ(1, SendJoin(&user.link, channel.c_str()));
  ASSERT_TRUE(ServeUntil([&] { return ownRows() > before; })) << user.nickname << " " << channel;
}

bool IntegrationTest::ServeUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangBoundMs);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    bool served = false;
    for (auto& user : users) served = user->queue.ServeOne(std::chrono::milliseconds(0)) || served;
    if (!served && !users.empty()) users.front()->queue.ServeOne(std::chrono::milliseconds(1));
  }
  return done();
}

bool IntegrationTest::WaitFor(ChatUser& user, const std::string& entry, int count) {
  return ServeUntil([&] { return user.recorder.Count(entry) >= count; });
}

bool IntegrationTest::WaitForType(ChatUser& user, unsigned type, std::size_t count) {
  return ServeUntil([&] { return user.SeenCount(type) >= count; });
}
