// The server's event loop: accepts clients, reads their frames, dispatches
// them to the chat hub, writes the queued output, enforces the login time
// limit, runs the demo cast and carries out operator lines, all on one
// thread that waits in poll / WSAPoll.
#include "server/server.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "server/chat_hub.h"
#include "server/client_protocol.h"
#include "server/connection.h"
#include "server/console.h"
#include "server/demo.h"
#include "server/server_sockets.h"
#include "server/wake_signal.h"

namespace orla_server {

namespace {

using Clock = std::chrono::steady_clock;

// Connections accepted in one pass, so a flood of connects cannot starve
// the clients already in.
const int kAcceptsPerPass = 64;
// Out of descriptors: accepting waits this long instead of spinning.
const auto kAcceptPause = std::chrono::milliseconds(100);
// The longest poll wait. Every deadline is computed, so this only bounds a
// wait that has none.
const int kMaxPollMs = 1000;

std::string PeerName(const sockaddr_storage& address, socklen_t size) {
  char host[64] = "?";
  char service[16] = "?";
  getnameinfo(reinterpret_cast<const sockaddr*>(&address), size, host, sizeof host, service,
              sizeof service, NI_NUMERICHOST | NI_NUMERICSERV);
  return std::string(host) + ":" + service;
}

}  // namespace

struct Server::Loop {
  struct Command {
    std::string line;
    std::promise<std::string> reply;
  };

  explicit Loop(ServerConfig settings) : config(std::move(settings)) {}
  ~Loop() {
    if (listener != kInvalidSocket) ReleaseHandle(listener);
  }

  bool Listen(std::string* error);
  void Run();
  void Log(const std::string& line) const {
    if (config.log) config.log(line);
  }

  void BuildPollList();
  int PollTimeoutMs(Clock::time_point now) const;
  void AcceptClients(Clock::time_point now);
  void ReadFrom(Connection* connection);
  void CheckTimers(Clock::time_point now);
  void RunCommands();
  // Writes queued output and closes dropped connections; a close tells
  // other clients (407), which may drop them in turn, so it repeats.
  void Settle();
  void AnswerPendingCommands();

  ServerConfig config;
  bool socketsStarted = false;
  SocketHandle listener = kInvalidSocket;
  std::atomic<std::uint16_t> port{0};
  WakeSignal wake;
  ChatHub hub;
  ClientProtocol protocol{hub, config.motd, config.verbose,
                          [this](const std::string& line) { Log(line); }};
  std::unique_ptr<DemoCast> demo;
  Clock::time_point nextDemoEvent;
  Clock::time_point acceptPausedUntil;
  std::vector<std::unique_ptr<Connection>> connections;
  std::vector<PollEntry> pollList;
  char scratch[64 * 1024];

  std::thread thread;
  std::atomic<bool> stopRequested{false};
  std::mutex mutex;  // guards the fields below
  std::condition_variable endedSignal;
  bool takingCommands = false;
  bool ended = false;
  std::deque<Command> commands;
};

bool Server::Loop::Listen(std::string* error) {
  for (const auto& channel : config.channels) {
    if (hub.AddChannel(channel.first, channel.second, true) == nullptr) {
      *error = "unusable channel name \"" + channel.first + "\"";
      return false;
    }
  }
  std::string where = config.bindAddress + ":" + std::to_string(config.port);
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  std::string service = std::to_string(config.port);
  if (getaddrinfo(config.bindAddress.c_str(), service.c_str(), &hints, &found) != 0 ||
      found == nullptr) {
    *error = "cannot resolve bind address \"" + config.bindAddress + "\"";
    return false;
  }
  listener = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
  int failure = 0;
  if (listener == kInvalidSocket) {
    failure = LastError();
  } else {
    SetListenerOptions(listener);
    if (bind(listener, found->ai_addr, static_cast<socklen_t>(found->ai_addrlen)) != 0 ||
        listen(listener, SOMAXCONN) != 0 || !SetBlocking(listener, false)) {
      failure = LastError();
    }
  }
  freeaddrinfo(found);
  if (failure != 0) {
    *error = "cannot listen on " + where + ": " + SocketErrorText(failure);
    return false;
  }
  sockaddr_storage bound;
  socklen_t size = sizeof bound;
  getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &size);
  port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                           : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  if (!wake.Open(error)) return false;
  if (config.demo) {
    demo = std::make_unique<DemoCast>(hub, config.demoSeed, config.demoIntervalMs);
    demo->Setup();
    nextDemoEvent = Clock::now() + std::chrono::milliseconds(config.demoIntervalMs);
  }
  return true;
}

void Server::Loop::Run() {
  while (!stopRequested) {
    BuildPollList();
    int ready = PollSockets(pollList.data(), pollList.size(), PollTimeoutMs(Clock::now()));
    if (ready < 0) {
      int failure = LastError();
      if (IsInterrupted(failure)) continue;
      Log("poll failed: " + SocketErrorText(failure));
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    Clock::time_point now = Clock::now();
    // Entries 0 and 1 are the wake signal and the listener; then one per
    // connection, in order, as BuildPollList made them.
    for (std::size_t i = 2; i < pollList.size(); ++i) {
      Connection* connection = connections[i - 2].get();
      short events = pollList[i].revents;
      if (events == 0 || connection->IsDropped()) continue;
      if (connection->GetState() == Connection::State::kClosing) {
        if ((events & (POLLERR | POLLHUP)) != 0) connection->Drop("closed by the client");
      } else if ((events & (POLLIN | POLLERR | POLLHUP)) != 0) {
        ReadFrom(connection);
      }
    }
    if (pollList[1].revents != 0) AcceptClients(now);
    if (pollList[0].revents != 0) {
      wake.Drain();
      RunCommands();
    }
    CheckTimers(now);
    Settle();
  }
  connections.clear();
  ReleaseHandle(listener);
  listener = kInvalidSocket;
  AnswerPendingCommands();
}

void Server::Loop::BuildPollList() {
  pollList.clear();
  pollList.push_back(PollEntry{wake.GetSocket(), POLLIN, 0});
  // A negative handle is skipped by poll; WSAPoll wants a socket, so a
  // paused listener is polled for nothing instead.
  bool accepting = Clock::now() >= acceptPausedUntil;
  pollList.push_back(PollEntry{listener, static_cast<short>(accepting ? POLLIN : 0), 0});
  for (const auto& connection : connections) {
    short events = connection->GetState() == Connection::State::kClosing ? 0 : POLLIN;
    if (connection->HasOutput()) events |= POLLOUT;
    pollList.push_back(PollEntry{connection->GetSocket(), events, 0});
  }
}

int Server::Loop::PollTimeoutMs(Clock::time_point now) const {
  Clock::time_point next = now + std::chrono::milliseconds(kMaxPollMs);
  if (demo) next = std::min(next, nextDemoEvent);
  if (now < acceptPausedUntil) next = std::min(next, acceptPausedUntil);
  for (const auto& connection : connections) {
    if (connection->GetUser() == nullptr) next = std::min(next, connection->LoginDeadline());
  }
  if (next <= now) return 0;
  // Round up, so the wait does not end just short of a deadline.
  auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count() + 1;
  return static_cast<int>(std::min<long long>(wait, kMaxPollMs));
}

void Server::Loop::AcceptClients(Clock::time_point now) {
  for (int i = 0; i < kAcceptsPerPass; ++i) {
    sockaddr_storage address;
    socklen_t size = sizeof address;
    SocketHandle client = accept(listener, reinterpret_cast<sockaddr*>(&address), &size);
    if (client == kInvalidSocket) {
      int failure = LastError();
      if (IsOutOfHandles(failure)) {
        Log("cannot accept more clients for now: " + SocketErrorText(failure));
        acceptPausedUntil = now + kAcceptPause;
      }
      return;
    }
    if (!SetBlocking(client, false)) {
      ReleaseHandle(client);
      continue;
    }
    SetNoDelay(client);
    auto connection =
        std::make_unique<Connection>(client, PeerName(address, size), config.outputLimit,
                                     now + std::chrono::milliseconds(config.loginTimeoutMs));
    Log("connect " + connection->Peer());
    connections.push_back(std::move(connection));
  }
}

void Server::Loop::ReadFrom(Connection* connection) {
  // One receive per pass: a client that floods cannot starve the others.
  int received = ReceiveSome(connection->GetSocket(), scratch, static_cast<int>(sizeof scratch));
  if (received == 0) {
    connection->Drop("closed by the client");
    return;
  }
  if (received < 0) {
    if (!IsWouldBlock(LastError())) connection->Drop("receive failed");
    return;
  }
  protocol.Receive(connection, scratch, static_cast<std::size_t>(received));
}

void Server::Loop::CheckTimers(Clock::time_point now) {
  for (const auto& connection : connections) {
    if (connection->GetUser() == nullptr && now >= connection->LoginDeadline()) {
      connection->Drop("no login in time");
    }
  }
  if (demo && now >= nextDemoEvent) {
    nextDemoEvent = now + std::chrono::milliseconds(demo->Step());
  }
}

void Server::Loop::RunCommands() {
  for (;;) {
    Command command;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (commands.empty()) return;
      command = std::move(commands.front());
      commands.pop_front();
    }
    bool quit = false;
    std::string reply = RunConsoleLine(hub, command.line, &quit);
    // Set before the reply goes, so the caller sees it stopping at once.
    if (quit) stopRequested = true;
    command.reply.set_value(std::move(reply));
  }
}

void Server::Loop::Settle() {
  for (;;) {
    for (const auto& connection : connections) {
      if (connection->HasOutput()) connection->Flush();
    }
    auto firstDropped = std::find_if(connections.begin(), connections.end(),
                                     [](const auto& c) { return c->IsDropped(); });
    if (firstDropped == connections.end()) return;
    std::vector<std::unique_ptr<Connection>> closing;
    for (auto& connection : connections) {
      if (connection->IsDropped()) closing.push_back(std::move(connection));
    }
    connections.erase(std::remove(connections.begin(), connections.end(), nullptr),
                      connections.end());
    for (const auto& connection : closing) {
      Log("drop " + ClientName(*connection) + ": " + connection->DropReason());
      if (connection->GetUser() != nullptr) hub.RemoveUser(connection->GetUser());
    }
  }
}

void Server::Loop::AnswerPendingCommands() {
  std::lock_guard<std::mutex> lock(mutex);
  takingCommands = false;
  ended = true;
  for (Command& command : commands) command.reply.set_value("the server has stopped\n");
  commands.clear();
  endedSignal.notify_all();
}

Server::Server(ServerConfig config) : m_loop(std::make_unique<Loop>(std::move(config))) {
  m_loop->socketsStarted = StartSockets();
}

Server::~Server() {
  Stop();
  // The loop's sockets must be closed before WinSock is released.
  bool started = m_loop->socketsStarted;
  m_loop.reset();
  if (started) StopSockets();
}

bool Server::Start(std::string* error) {
  if (!m_loop->socketsStarted) {
    *error = "cannot start the socket library";
    return false;
  }
  if (m_loop->thread.joinable()) {
    *error = "already started";
    return false;
  }
  if (!m_loop->Listen(error)) return false;
  m_loop->takingCommands = true;
  m_loop->thread = std::thread([this] { m_loop->Run(); });
  return true;
}

std::uint16_t Server::Port() const { return m_loop->port; }

std::string Server::Execute(std::string_view line) {
  std::future<std::string> reply;
  {
    std::lock_guard<std::mutex> lock(m_loop->mutex);
    if (!m_loop->takingCommands) return "the server has stopped\n";
    m_loop->commands.push_back(Loop::Command{std::string(line), {}});
    reply = m_loop->commands.back().reply.get_future();
  }
  m_loop->wake.Signal();
  return reply.get();
}

bool Server::IsStopping() const { return m_loop->stopRequested; }

void Server::WaitUntilStopped() {
  if (!m_loop->thread.joinable()) return;
  std::unique_lock<std::mutex> lock(m_loop->mutex);
  m_loop->endedSignal.wait(lock, [this] { return m_loop->ended; });
}

void Server::Stop() {
  if (!m_loop->thread.joinable()) return;
  m_loop->stopRequested = true;
  m_loop->wake.Signal();
  m_loop->thread.join();
}

}  // namespace orla_server
