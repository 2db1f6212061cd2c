// Bad input and load: each rule drops only the offending client, and the
// server and every other client go on.
#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "tests/support/test_client.h"

namespace orla_server {
namespace {

class BadInputTest : public ServerTest {
 protected:
  // A bystander in lobby and a way to show it is still served.
  void StartWithBystander() {
    StartServer();
    // The server's login limit holds for the bystander too: on a machine too
    // busy to log in within it, the bystander is dropped and comes again.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangBoundMs);
    do {
      m_bystander = Connect();
    } while (!m_bystander->TryLogin("Bystander", m_config.motd.size()) &&
             std::chrono::steady_clock::now() < until);
    m_bystander->Send(400, "lobby");
    m_bystander->Until(408);
  }

  void ExpectBystanderServed() {
    m_bystander->Send(402, "lobby still fine");
    EXPECT_TRUE(m_bystander->WaitFor(Frame{403, "lobby Bystander still fine"}));
  }

  std::unique_ptr<TestClient> m_bystander;
};

TEST_F(BadInputTest, FrameAnnouncingMoreThan1023BytesDropsTheSender) {
  StartWithBystander();
  for (std::uint16_t length : {1024, 0xFFFF}) {
    SCOPED_TRACE(length);
    auto offender = LoggedIn("Offender");
    offender->Send(400, "lobby");
    offender->Until(408);
    m_bystander->Until(406);
    offender->SendRaw(HeaderBytes(length, 402) + "lobby x");
    EXPECT_TRUE(offender->WaitClosed());
    EXPECT_EQ(m_bystander->Next(), (Frame{407, "lobby Offender 0 8"}));
    ExpectBystanderServed();
    WaitUntilOffline("Offender");
  }
  // 1023 bytes is still a frame.
  m_bystander->Send(402, "lobby " + std::string(1017, 'x'));
  EXPECT_EQ(m_bystander->Next().payload.size(), 1023u);
}

TEST_F(BadInputTest, AnythingButLoginBeforeLoginDropsTheSender) {
  StartWithBystander();
  for (std::uint16_t type : {400, 402, 617, 3, 9999}) {
    SCOPED_TRACE(type);
    auto offender = Connect();
    offender->Send(type, type == 617 ? "" : "lobby hi");
    EXPECT_TRUE(offender->WaitClosed());
  }
  EXPECT_TRUE(m_bystander->Quiet());
  ExpectBystanderServed();
}

TEST_F(BadInputTest, ClientThatDoesNotLogInInTimeIsDropped) {
  m_config.loginTimeoutMs = 2000;
  StartWithBystander();
  auto start = std::chrono::steady_clock::now();
  auto silent = Connect();
  auto halfway = Connect();
  halfway->SendRaw(HeaderBytes(30, 2) + "Slow quiet");
  EXPECT_TRUE(silent->WaitClosed());
  EXPECT_TRUE(halfway->WaitClosed());
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
  // A logged-in client is not subject to the limit.
  EXPECT_FALSE(m_bystander->WaitClosed(500));
  ExpectBystanderServed();
}

TEST_F(BadInputTest, FramesSentByteByByteAreServed) {
  StartWithBystander();
  auto slow = Connect();
  auto dribble = [&](const std::string& bytes) {
    for (char byte : bytes) {
      slow->SendRaw(std::string(1, byte));
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  dribble(FrameBytes(2, "Slow quiet 0 \"Velmo v1.0\" 8"));
  EXPECT_EQ(slow->Next(), (Frame{3, "Slow"}));
  EXPECT_EQ(slow->Next().type, 621);
  dribble(FrameBytes(400, "lobby") + FrameBytes(617, ""));
  EXPECT_EQ(slow->Until(408).front(), (Frame{405, "lobby"}));
  EXPECT_EQ(slow->Until(618).back(), (Frame{618, "lobby 2"}));
  dribble(FrameBytes(402, "lobby ゆっくり"));
  EXPECT_EQ(slow->Next(), (Frame{403, "lobby Slow ゆっくり"}));
  EXPECT_EQ(m_bystander->Until(403).back(), (Frame{403, "lobby Slow ゆっくり"}));
}

TEST_F(BadInputTest, ClientThatStopsReadingIsDroppedAtItsOutputBound) {
  m_config.outputLimit = 64 * 1024;
  StartWithBystander();
  // The lazy client asks for little buffering in its kernel, then never reads.
  TestClient lazy(m_server->Port());
  TestClient::ShrinkReceiveBuffer(lazy.GetSocket());
  lazy.Send(2, "Lazy quiet 0 \"Velmo v1.0\" 8");
  lazy.Send(400, "lobby");
  m_bystander->Until(406);

  std::string line = "lobby " + std::string(1000, 'z');
  bool lazyDropped = false;
  for (int batch = 0; batch < 400 && !lazyDropped; ++batch) {
    for (int i = 0; i < 20; ++i) m_bystander->Send(402, line);
    for (int i = 0; i < 20; ++i) {
      Frame frame = m_bystander->Next();
      if (frame == Frame{407, "lobby Lazy 0 8"}) {
        lazyDropped = true;
        frame = m_bystander->Next();
      }
      ASSERT_EQ(frame.type, 403) << "batch " << batch;
    }
  }
  EXPECT_TRUE(lazyDropped);
  EXPECT_TRUE(lazy.WaitClosed());
  ExpectBystanderServed();
}

TEST_F(BadInputTest, RandomFramesAfterLoginNeitherCrashNorStallTheServer) {
  StartWithBystander();
  auto noisy = LoggedIn("Noisy");
  std::mt19937 random(12345);
  const std::uint16_t types[] = {2, 3, 400, 401, 402, 403, 405, 410, 617, 618, 824, 0, 65535};
  std::string burst;
  for (int i = 0; i < 3000; ++i) {
    std::uint16_t type = types[random() % (sizeof types / sizeof types[0])];
    std::size_t length = random() % 3 == 0 ? random() % 1024 : random() % 16;
    std::string payload;
    for (std::size_t j = 0; j < length; ++j) {
      payload += static_cast<char>(random() % 4 == 0 ? ' ' : random() % 256);
    }
    if (i % 7 == 0) payload = "lobby " + payload;
    burst += FrameBytes(type, payload);
  }
  // Reading while sending: the noisy client's own answers must not back up.
  std::thread reader([&] {
    while (noisy->Next(1000).type != 0xFFFF) {
    }
  });
  noisy->SendRaw(burst);
  reader.join();
  auto later = LoggedIn("Later");
  later->Send(400, "lobby");
  EXPECT_EQ(later->Until(405).back(), (Frame{405, "lobby"}));
  ExpectBystanderServed();
}

}  // namespace
}  // namespace orla_server
