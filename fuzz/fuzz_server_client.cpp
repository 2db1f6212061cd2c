// Fuzz target: the server against one hostile client. The input, cut into
// pieces, is what that client sends: it goes through the server's own frame
// assembly and request handling (ClientProtocol::Receive: login, joins,
// chat, actions, leaves, the channel list, private messages, user
// information, pings) while a well-behaved client is logged in and sits in
// a channel. Afterwards the hostile client goes away
// as a disconnect does, and the good client must still be served: its chat
// comes back to it at once, and the server has forgotten the hostile user.
// Both connections are socket pairs, so output is really queued and sent.
//
// Input: one control byte, then the stream. Control 0 feeds the stream
// whole; n > 0 feeds it in pieces of n bytes (1: byte by byte).
// Threads: the fuzzer's thread is the server's loop thread.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/message_catalogue.h"
#include "server/chat_hub.h"
#include "server/client_protocol.h"
#include "server/connection.h"
#include "server/payload.h"

using namespace orla_server;

namespace {

const std::size_t kOutputLimit = 256 * 1024;
const char kGoodChannel[] = "#good";

struct Client {
  std::unique_ptr<Connection> connection;
  int peer = -1;  // the client's end of the pair
};

struct World {
  ChatHub hub;
  std::vector<std::string> motd{"welcome"};
  ClientProtocol protocol{hub, motd, true, [](const std::string&) {}};
  Client good;
};

World* g_world = nullptr;

Client Connect() {
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) __builtin_trap();
  fcntl(pair[0], F_SETFL, fcntl(pair[0], F_GETFL) | O_NONBLOCK);
  fcntl(pair[1], F_SETFL, fcntl(pair[1], F_GETFL) | O_NONBLOCK);
  Client client;
  client.connection = std::make_unique<Connection>(
      pair[0], "fuzz", kOutputLimit, std::chrono::steady_clock::now() + std::chrono::hours(1));
  client.peer = pair[1];
  return client;
}

void Send(Client& client, std::uint16_t type, const std::string& payload) {
  const std::string frame(FrameBuilder().Text(payload).Finish(type));
  g_world->protocol.Receive(client.connection.get(), frame.data(), frame.size());
}

// Reads what the client's end holds now.
std::string Drain(int peer) {
  std::string bytes;
  char buffer[16 * 1024];
  for (;;) {
    const ssize_t got = recv(peer, buffer, sizeof buffer, 0);
    if (got <= 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

// The good client reads everything sent to it so far: what a pass of the
// loop's output step and a reading client do together.
std::string Serve(Client& good) {
  std::string bytes;
  do {
    good.connection->Flush();
    bytes += Drain(good.peer);
  } while (good.connection->HasOutput() && !good.connection->IsDropped());
  if (good.connection->IsDropped()) __builtin_trap();
  return bytes;
}

// What the loop does with a dropped connection: its user leaves everything.
void Forget(Client& client) {
  if (client.connection->GetUser() != nullptr)
    g_world->hub.RemoveUser(client.connection->GetUser());
  client.connection.reset();
  close(client.peer);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_world = new World;
  g_world->good = Connect();
  Send(g_world->good, MsgLogin, "good quiet 0 \"Velmo v1.0\" 8");
  Send(g_world->good, MsgJoin, kGoodChannel);
  Serve(g_world->good);
  if (g_world->good.connection->GetUser() == nullptr) __builtin_trap();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t piece = data[0] == 0 ? size : data[0];
  const char* stream = reinterpret_cast<const char*>(data + 1);
  std::size_t left = size - 1;

  Client hostile = Connect();
  while (left > 0 && !hostile.connection->IsDropped() &&
         hostile.connection->GetState() != Connection::State::kClosing) {
    const std::size_t take = left < piece ? left : piece;
    g_world->protocol.Receive(hostile.connection.get(), stream, take);
    stream += take;
    left -= take;
    if (hostile.connection->HasOutput()) hostile.connection->Flush();
    Serve(g_world->good);
  }
  Forget(hostile);
  Serve(g_world->good);

  if (g_world->hub.Users().size() != 1) __builtin_trap();
  Send(g_world->good, MsgChat, std::string(kGoodChannel) + " ping");
  const std::string echo = Serve(g_world->good);
  const std::string wanted(
      FrameBuilder().Text(kGoodChannel).Space().Text("good ping").Finish(MsgChannelText));
  if (echo != wanted) __builtin_trap();
  return 0;
}
