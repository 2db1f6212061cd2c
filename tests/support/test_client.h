// A scripted Orla client for the server, end-to-end and package tests: a
// blocking loopback socket that sends exact bytes and reads frames with a
// deadline, plus a fixture that runs a server on an ephemeral port. Each object belongs to the test
// thread that made it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "server/server.h"
#include "server/server_sockets.h"
#include "tests/support/frame_bytes.h"
#include "tests/support/hang_bound.h"

namespace orla_server {

struct Frame {
  std::uint16_t type = 0;
  std::string payload;
};

std::ostream& operator<<(std::ostream& out, const Frame& frame);
bool operator==(const Frame& a, const Frame& b);

class TestClient {
 public:
  explicit TestClient(std::uint16_t port);
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  bool IsConnected() const { return m_socket != kInvalidSocket; }
  void Send(std::uint16_t type, std::string_view payload);
  void SendRaw(std::string_view bytes);
  // Sends the client's login line and checks the acceptance and the MOTD.
  void Login(std::string_view nick, std::size_t motdLines = 1);
  // The same, without failing the test: false when the server did not accept
  // the login, or dropped the client first.
  bool TryLogin(std::string_view nick, std::size_t motdLines);
  // The next frame, or a frame of type 0xFFFF with payload "timeout" or
  // "closed" when none came within the time. A wait for a frame that should
  // come is bounded for a hang; a shorter time says that the frames of one
  // answer came together and the answer is over.
  Frame Next(int timeoutMs = kHangBoundMs);
  // Frames until one of the type arrives (included); stops at a time-out.
  std::vector<Frame> Until(std::uint16_t type, int timeoutMs = kHangBoundMs);
  // Reads until the frame arrives; false at a time-out or close.
  bool WaitFor(const Frame& wanted, int timeoutMs = kHangBoundMs);
  // True when the server closes the connection within the time; frames
  // still on the way are read and thrown away.
  bool WaitClosed(int timeoutMs = kHangBoundMs);
  // Closed by the server with an orderly end of stream, not a reset.
  bool ClosedInOrder() const { return m_closed && !m_reset; }
  // True when nothing at all arrives within the time.
  bool Quiet(int timeoutMs = 200);
  // Stops reading: the socket's receive buffer is made small so the server's
  // output backs up quickly.
  static void ShrinkReceiveBuffer(SocketHandle socket);
  SocketHandle GetSocket() const { return m_socket; }

 private:
  // Frames until last(frame) holds (that frame included) or a time-out.
  std::vector<Frame> ReadUntil(const std::function<bool(const Frame&)>& last, int timeoutMs);
  // Reads at least want bytes into m_pending within the deadline.
  bool Fill(std::size_t want, std::chrono::steady_clock::time_point deadline);

  SocketHandle m_socket = kInvalidSocket;
  std::string m_pending;
  bool m_closed = false;
  bool m_reset = false;
};

// Runs a server for one test, with small limits so time-outs come quickly.
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Starts the server with the config as adjusted by the test.
  void StartServer();
  std::unique_ptr<TestClient> Connect();
  std::unique_ptr<TestClient> LoggedIn(std::string_view nick);
  // Waits (asking the console's `who`) until the server has let nick go.
  void WaitUntilOffline(std::string_view nick);

  ServerConfig m_config;
  std::unique_ptr<Server> m_server;
};

}  // namespace orla_server
