// The scripted client and the server fixture.
#include "tests/support/test_client.h"

#include <cstring>
#include <thread>

#include "link/frame_header.h"

namespace orla_server {

namespace {

const std::uint16_t kNoFrame = 0xFFFF;

}  // namespace

std::ostream& operator<<(std::ostream& out, const Frame& frame) {
  return out << "[" << frame.type << "] \"" << frame.payload << "\"";
}

bool operator==(const Frame& a, const Frame& b) {
  return a.type == b.type && a.payload == b.payload;
}

TestClient::TestClient(std::uint16_t port) {
  StartSockets();
  m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (m_socket != kInvalidSocket &&
      connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ReleaseHandle(m_socket);
    m_socket = kInvalidSocket;
  }
  if (m_socket != kInvalidSocket) {
    SetBlocking(m_socket, false);
    SetNoDelay(m_socket);
  }
}

TestClient::~TestClient() {
  if (m_socket != kInvalidSocket) ReleaseHandle(m_socket);
  StopSockets();
}

void TestClient::SendRaw(std::string_view bytes) {
  // The socket is non-blocking for reads; sends wait for room.
  while (!bytes.empty()) {
    int n = SendSome(m_socket, bytes.data(), CallSize(bytes.size()));
    if (n < 0) {
      if (!IsWouldBlock(LastError())) return;
      PollEntry entry{m_socket, POLLOUT, 0};
      PollSockets(&entry, 1, 1000);
      continue;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void TestClient::Send(std::uint16_t type, std::string_view payload) {
  SendRaw(FrameBytes(type, payload));
}

void TestClient::Login(std::string_view nick, std::size_t motdLines) {
  EXPECT_TRUE(TryLogin(nick, motdLines)) << nick;
}

bool TestClient::TryLogin(std::string_view nick, std::size_t motdLines) {
  Send(2, std::string(nick) + " quiet 0 \"Velmo v1.0\" 8");
  if (!(Next() == Frame{3, std::string(nick)})) return false;
  for (std::size_t i = 0; i < motdLines; ++i)
    if (Next().type != 621) return false;
  return true;
}

bool TestClient::Fill(std::size_t want, std::chrono::steady_clock::time_point deadline) {
  while (m_pending.size() < want && !m_closed) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() < 0) return false;
    PollEntry entry{m_socket, POLLIN, 0};
    if (PollSockets(&entry, 1, static_cast<int>(left.count()) + 1) <= 0) continue;
    char bytes[16384];
    int n = ReceiveSome(m_socket, bytes, static_cast<int>(sizeof bytes));
    if (n > 0) {
      m_pending.append(bytes, static_cast<std::size_t>(n));
    } else if (n == 0 || !IsWouldBlock(LastError())) {
      m_reset = n < 0;
      m_closed = true;
    }
  }
  return m_pending.size() >= want;
}

Frame TestClient::Next(int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  if (!Fill(kFrameHeaderSize, deadline)) {
    return Frame{kNoFrame, m_closed ? "closed" : "timeout"};
  }
  FrameHeader header = DecodeFrameHeader(reinterpret_cast<const unsigned char*>(m_pending.data()));
  if (!Fill(kFrameHeaderSize + header.length, deadline)) {
    return Frame{kNoFrame, m_closed ? "closed" : "timeout"};
  }
  Frame frame{header.type, m_pending.substr(kFrameHeaderSize, header.length)};
  m_pending.erase(0, kFrameHeaderSize + header.length);
  return frame;
}

std::vector<Frame> TestClient::Until(std::uint16_t type, int timeoutMs) {
  return ReadUntil([type](const Frame& frame) { return frame.type == type; }, timeoutMs);
}

bool TestClient::WaitFor(const Frame& wanted, int timeoutMs) {
  std::vector<Frame> frames =
      ReadUntil([&wanted](const Frame& frame) { return frame == wanted; }, timeoutMs);
  return !frames.empty() && frames.back() == wanted;
}

std::vector<Frame> TestClient::ReadUntil(const std::function<bool(const Frame&)>& last,
                                         int timeoutMs) {
  std::vector<Frame> frames;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    Frame frame = Next(static_cast<int>(std::max<long long>(left.count(), 0)));
    if (frame.type == kNoFrame) return frames;
    frames.push_back(frame);
    if (last(frame)) return frames;
  }
}

bool TestClient::WaitClosed(int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!m_closed && std::chrono::steady_clock::now() < deadline) {
    m_pending.clear();
    Fill(1, deadline);
  }
  return m_closed;
}

bool TestClient::Quiet(int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  return !Fill(m_pending.size() + 1, deadline) && !m_closed;
}

void TestClient::ShrinkReceiveBuffer(SocketHandle socket) {
  int size = 4096;
  setsockopt(socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
}

void ServerTest::SetUp() {
  m_config.loginTimeoutMs = 30000;
  m_config.motd = {"welcome"};
}

void ServerTest::StartServer() {
  m_server = std::make_unique<Server>(m_config);
  std::string error;
  ASSERT_TRUE(m_server->Start(&error)) << error;
  ASSERT_NE(m_server->Port(), 0);
}

std::unique_ptr<TestClient> ServerTest::Connect() {
  auto client = std::make_unique<TestClient>(m_server->Port());
  EXPECT_TRUE(client->IsConnected());
  return client;
}

std::unique_ptr<TestClient> ServerTest::LoggedIn(std::string_view nick) {
  auto client = Connect();
  client->Login(nick, m_config.motd.size());
  return client;
}

void ServerTest::WaitUntilOffline(std::string_view nick) {
  std::string entry = "  " + std::string(nick) + " ";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangBoundMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (m_server->Execute("who").find(entry) == std::string::npos) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ADD_FAILURE() << nick << " is still online";
}

}  // namespace orla_server
