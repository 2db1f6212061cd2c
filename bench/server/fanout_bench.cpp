// Fan-out benchmark: how many chat lines per second the server delivers to
// N clients in one channel on loopback, and its peak memory. The server runs
// as a child process (the real orla-server), so its VmHWM is its own; the
// clients live here on one thread, polled together.
//
//   server_fanout_bench [CLIENTS...]     (default: 10 100 1000)
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "server/server_sockets.h"
#include "tests/support/frame_bytes.h"

using namespace orla_server;

namespace {

// Lines the sender may be ahead of the slowest reader: enough to keep the
// pipe full, far below the server's output bound per client.
const long kWindow = 256;
const char kChannel[] = "bench";
const std::string kText = "fan-out benchmark line with some ordinary chat text";

// The orla-server child process. One that is not stopped with Stop by the
// time this goes (an early return) is killed and reaped, so no run leaves a
// server behind.
class ServerProcess {
 public:
  ServerProcess() = default;
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;
  ~ServerProcess();

  // Starts orla-server on a free port; false when it did not report one.
  bool Start();
  // Asks it to quit and waits; false when it did not end cleanly (a
  // sanitizer report, a crash).
  bool Stop();

  pid_t Pid() const { return m_pid; }
  std::uint16_t Port() const { return m_port; }

 private:
  pid_t m_pid = -1;
  FILE* m_console = nullptr;  // the child's standard input
  std::uint16_t m_port = 0;
};

ServerProcess::~ServerProcess() {
  if (m_console != nullptr) std::fclose(m_console);
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
}

bool ServerProcess::Start() {
  int to_child[2];
  int from_child[2];
  if (pipe(to_child) != 0) return false;
  if (pipe(from_child) != 0) {
    close(to_child[0]);
    close(to_child[1]);
    return false;
  }
  m_pid = fork();
  if (m_pid == 0) {
    dup2(to_child[0], 0);
    dup2(from_child[1], 1);
    close(to_child[1]);
    close(from_child[0]);
    int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, 2);  // connect and login lines would only slow it
    execl(ORLA_SERVER_PATH, "orla-server", "--port", "0", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(to_child[0]);
  close(from_child[1]);
  if (m_pid < 0) {
    close(to_child[1]);
    close(from_child[0]);
    return false;
  }
  m_console = fdopen(to_child[1], "w");
  FILE* output = fdopen(from_child[0], "r");
  char line[256] = {};
  if (std::fgets(line, sizeof line, output) != nullptr) {
    const char* at = std::strstr(line, "127.0.0.1:");
    if (at != nullptr) m_port = static_cast<std::uint16_t>(std::atoi(at + 10));
  }
  fclose(output);  // the server writes nothing more to standard output here
  return m_port != 0;
}

bool ServerProcess::Stop() {
  std::fputs("quit\n", m_console);
  std::fclose(m_console);
  m_console = nullptr;
  int status = 0;
  waitpid(m_pid, &status, 0);
  m_pid = -1;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

long PeakMemoryKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, 6, "VmHWM:") == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

bool SendAll(SocketHandle s, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    int n = SendSome(s, bytes.data() + done, CallSize(bytes.size() - done));
    if (n < 0) {
      if (!IsWouldBlock(LastError())) return false;
      pollfd entry{s, POLLOUT, 0};
      poll(&entry, 1, 1000);
      continue;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

SocketHandle Connect(std::uint16_t port) {
  SocketHandle s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == kInvalidSocket) return s;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(s);
    return kInvalidSocket;
  }
  SetBlocking(s, false);
  SetNoDelay(s);
  return s;
}

// Reads every client until each has seen the marker text at least once
// since the call: all frames queued before it are then consumed.
bool DrainUntil(std::vector<SocketHandle>& clients, const std::string& marker) {
  std::vector<std::string> tails(clients.size());
  std::vector<bool> done(clients.size(), false);
  std::size_t remaining = clients.size();
  std::vector<pollfd> entries(clients.size());
  char buffer[65536];
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (remaining > 0 && std::chrono::steady_clock::now() < deadline) {
    for (std::size_t i = 0; i < clients.size(); ++i) entries[i] = {clients[i], POLLIN, 0};
    poll(entries.data(), entries.size(), 1000);
    for (std::size_t i = 0; i < clients.size(); ++i) {
      if (entries[i].revents == 0) continue;
      long n = recv(clients[i], buffer, sizeof buffer, 0);
      if (n <= 0) continue;
      if (done[i]) continue;
      tails[i].append(buffer, static_cast<std::size_t>(n));
      if (tails[i].find(marker) != std::string::npos) {
        done[i] = true;
        --remaining;
      } else if (tails[i].size() > marker.size()) {
        tails[i].erase(0, tails[i].size() - marker.size());
      }
    }
  }
  return remaining == 0;
}

// The clients' sockets, closed however a run ends.
class ClientSockets {
 public:
  ClientSockets() = default;
  ClientSockets(const ClientSockets&) = delete;
  ClientSockets& operator=(const ClientSockets&) = delete;
  ~ClientSockets() {
    for (SocketHandle s : m_sockets) close(s);
  }

  std::vector<SocketHandle>& All() { return m_sockets; }

 private:
  std::vector<SocketHandle> m_sockets;
};

// Connects client_count clients, logs each in and has it join the channel;
// true once every one has joined and all the joins caused has arrived.
bool JoinAll(std::uint16_t port, int client_count, ClientSockets& clients) {
  for (int i = 0; i < client_count; ++i) {
    SocketHandle s = Connect(port);
    if (s == kInvalidSocket) {
      std::fprintf(stderr, "connect %d failed: %s\n", i, std::strerror(errno));
      return false;
    }
    clients.All().push_back(s);
    std::string nick = "c" + std::to_string(i);
    SendAll(s, FrameBytes(2, nick + " quiet 0 \"bench\" 8") + FrameBytes(400, kChannel));
  }
  // Every client has joined once it has its own join answer; everything the
  // joins caused has arrived once a sync line sent after that has.
  if (!DrainUntil(clients.All(), FrameBytes(405, kChannel))) {
    std::fprintf(stderr, "clients did not join\n");
    return false;
  }
  SendAll(clients.All()[0], FrameBytes(402, std::string(kChannel) + " sync-before-measuring"));
  if (!DrainUntil(clients.All(), "sync-before-measuring")) {
    std::fprintf(stderr, "clients did not settle\n");
    return false;
  }
  return true;
}

// Bytes of one benchmark line as each client receives it (403 from "c0").
long DeliveredFrameSize() {
  return static_cast<long>(kFrameHeaderSize + std::strlen(kChannel) + 1 + std::strlen("c0") + 1 +
                           kText.size());
}

// The first client sends lines chat lines, at most kWindow ahead of the
// slowest reader, until every client has received all of them. The seconds
// that took, or a negative value when a client stalled or was dropped.
double SendAndReceive(std::vector<SocketHandle>& clients, long lines) {
  const std::string line = FrameBytes(402, std::string(kChannel) + " " + kText);
  const long frame_size = DeliveredFrameSize();
  std::vector<long long> received(clients.size(), 0);
  std::vector<pollfd> entries(clients.size());
  char buffer[65536];
  long sent = 0;
  const long long goal = static_cast<long long>(lines) * frame_size;
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    long long slowest = *std::min_element(received.begin(), received.end());
    if (slowest >= goal) break;
    long ahead = sent - static_cast<long>(slowest / frame_size);
    if (sent < lines && ahead < kWindow) {
      std::string batch;
      for (long i = 0; i < std::min(kWindow - ahead, lines - sent); ++i) batch += line;
      sent += static_cast<long>(batch.size() / line.size());
      SendAll(clients[0], batch);
    }
    for (std::size_t i = 0; i < clients.size(); ++i) entries[i] = {clients[i], POLLIN, 0};
    if (poll(entries.data(), entries.size(), 5000) <= 0) {
      std::fprintf(stderr, "stalled at %lld of %lld bytes\n", slowest, goal);
      return -1;
    }
    for (std::size_t i = 0; i < clients.size(); ++i) {
      if (entries[i].revents == 0) continue;
      long n = recv(clients[i], buffer, sizeof buffer, 0);
      if (n == 0 || (n < 0 && !IsWouldBlock(errno))) {
        std::fprintf(stderr, "client %zu was dropped\n", i);
        return -1;
      }
      if (n > 0) received[i] += n;
    }
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool RunOnce(int client_count) {
  ServerProcess server;
  if (!server.Start()) {
    std::fprintf(stderr, "cannot start %s\n", ORLA_SERVER_PATH);
    return false;
  }
  const long lines = std::max(2000L, 16000000L / client_count);
  double seconds = -1;
  long peak_kb = -1;
  {
    ClientSockets clients;
    if (!JoinAll(server.Port(), client_count, clients)) return false;
    seconds = SendAndReceive(clients.All(), lines);
    if (seconds < 0) return false;
    peak_kb = PeakMemoryKb(server.Pid());
  }
  if (!server.Stop()) {
    std::fprintf(stderr, "the server did not exit cleanly\n");
    return false;
  }
  const double deliveries = static_cast<double>(lines) * client_count;
  std::printf("%7d %9ld %12.0f %14.0f %10.1f %12ld\n", client_count, lines, lines / seconds,
              deliveries / seconds, deliveries * DeliveredFrameSize() / seconds / 1e6, peak_kb);
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  RaiseDescriptorLimit();
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) {
    counts.push_back(std::atoi(argv[i]));
    if (counts.back() < 1) {
      std::fprintf(stderr, "a client count is a whole number from 1: %s\n", argv[i]);
      return 2;
    }
  }
  if (counts.empty()) counts = {10, 100, 1000};
  std::printf("orla-server fan-out on loopback: one sender, every client in one channel\n");
  std::printf("%7s %9s %12s %14s %10s %12s\n", "clients", "lines", "lines/s", "deliveries/s",
              "MB/s", "peak KiB");
  for (int count : counts) {
    if (!RunOnce(count)) return 1;
  }
  return 0;
}
