// The client against the real server, in one process: an orla_server::Server
// on an ephemeral loopback port (its loop on a thread of its own) and any
// number of chat users, each a real CServerLink with its worker thread whose
// events reach the test's thread (the user-interface thread) through a
// CLinkCallQueue, as a page host's window would receive them.
//
// Threads: a ChatUser belongs to the thread that made it, which serves its
// deliveries and calls Start, Stop and SendFrame. The fixture's users are made
// and served by the test thread.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/server_link.h"
#include "server/server.h"
#include "tests/support/link_call_queue.h"
#include "tests/support/recorder.h"

// One received message as a page handler takes it apart during its delivery.
struct SeenMessage {
  unsigned type;
  std::string payload;
  std::string channel;  // 618: the channel column
  std::string nick;     // 618: the user count column
  std::uint32_t files;
  std::uint32_t speed;
  std::string text;  // the rest; 618: the topic; 824: between the quotes
};

// One client program: its transcript, its event queue and its link. The link
// is declared last, so it stops (still serving its queue) before the rest goes.
class ChatUser {
 public:
  ChatUser();
  ChatUser(const ChatUser&) = delete;
  ChatUser& operator=(const ChatUser&) = delete;

  // The messages of one type received so far, in order.
  std::vector<SeenMessage> Seen(unsigned type) const;
  // How many of one type were received so far; copies nothing, so a wait
  // may ask it on every turn.
  std::size_t SeenCount(unsigned type) const;
  // Every message received so far, in order.
  const std::vector<SeenMessage>& All() const { return m_seen; }
  // A chat or action line typed into the page of channel and sent the way
  // the page sends it; false when nothing went out.
  bool Type(const std::string& channel, const std::string& line);
  // Serves this user's deliveries until done() holds (30 s guard).
  bool ServeUntil(const std::function<bool()>& done);

  std::string nickname;
  CLinkRecorder recorder;
  CLinkCallQueue queue{&recorder};
  CServerLink link;

 private:
  std::vector<SeenMessage> m_seen;
};

class IntegrationTest : public testing::Test {
 protected:
  void TearDown() override;

  void StartServer();
  std::string Address() const;
  // A user whose link has been started with the nickname.
  ChatUser& Connect(const std::string& nickname);
  // A user that is online with the message of the day received.
  ChatUser& Online(const std::string& nickname);
  // Sends a join and waits for its answer up to the user's own 408 row (the
  // last row; a topic's 410 follows it).
  void Join(ChatUser& user, const std::string& channel);

  // Serves every user's deliveries until done() holds (30 s guard).
  bool ServeUntil(const std::function<bool()>& done);
  bool WaitFor(ChatUser& user, const std::string& entry, int count = 1);
  bool WaitForType(ChatUser& user, unsigned type, std::size_t count = 1);

  orla_server::ServerConfig config;
  std::unique_ptr<orla_server::Server> server;
  // After the server: the links end first, so the server sees them go.
  std::vector<std::unique_ptr<ChatUser>> users;
};
