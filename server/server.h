// The Orla chat server as a library: one event loop over non-blocking
// sockets (poll / WSAPoll) on a thread of its own, serving every client, the
// operator console and the demo cast. The program orla-server and the tests
// both use it; a Windows test process can start one on an ephemeral port.
//
// Threads: Start, Stop, WaitUntilStopped and the destructor belong to the
// owning thread; Execute and port may be called from any thread. Everything
// else happens on the loop thread, including calls of config.log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orla_server {

struct ServerConfig {
  std::string bindAddress = "127.0.0.1";
  std::uint16_t port = 0;  // 0: an ephemeral port, see Server::port
  // Message of the day, one 621 frame per line after every login. CP932.
  std::vector<std::string> motd;
  // Channels that exist from the start and stay when empty: name and topic.
  std::vector<std::pair<std::string, std::string>> channels;
  bool demo = false;
  int demoIntervalMs = 2500;  // mean time between demo events
  unsigned demoSeed = 1;
  // A client that has not logged in this long after connecting is dropped.
  int loginTimeoutMs = 30000;
  // Unsent output a client may have before it is dropped as not reading.
  std::size_t outputLimit = 256 * 1024;
  // Log every frame received, not only connections, logins and drops.
  bool verbose = false;
  // Receives log lines (CP932 text, no line end); none when empty.
  std::function<void(std::string_view)> log;
};

class Server {
 public:
  explicit Server(ServerConfig config);
  ~Server();  // Stop
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Listens on the configured address and runs the loop on its own thread.
  // On failure returns false with a one-line reason in error.
  bool Start(std::string* error);
  // The port actually listened on (useful with port 0); 0 before Start.
  std::uint16_t Port() const;
  // Runs one operator console line on the loop thread and returns its reply
  // (see RunConsoleLine). After `quit`, or once stopped, the loop is gone and
  // further lines are answered with a short note.
  std::string Execute(std::string_view line);
  // True once `quit` was executed or Stop called.
  bool IsStopping() const;
  // Blocks until the loop has ended by `quit`.
  void WaitUntilStopped();
  // Ends the loop, closes every connection and joins the loop thread.
  void Stop();

 private:
  struct Loop;
  std::unique_ptr<Loop> m_loop;
};

}  // namespace orla_server
