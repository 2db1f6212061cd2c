// Login attempts of the real link worker against a scripted peer: the login
// line, accepted and refused replies, replies that fail, a peer that does
// not answer, refused connects, and the address forms.
#include <atomic>
#include <mutex>

#include "link_fixture.h"

namespace {

using Strings = std::vector<std::string>;

const char kAccepted[] = "diag Recv: [0002][0003] ok\r\n";

class LinkLogin : public LinkFixture {
 protected:
  ~LinkLogin() override { EndPeer(); }

  // A peer that accepts every login and keeps the connection until the
  // client goes; the login payloads it saw are kept.
  void ServeAcceptingLogins() {
    Serve([this](CPeerConnection& connection, int) {
      unsigned type = 0;
      std::string login;
      if (!connection.ReadFrame(&type, &login)) return;
      {
        // Kept before the reply, so it is there once the link is online.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_logins.push_back(login);
      }
      connection.Send(FrameBytes(3, "ok"));
      connection.WaitForClose();
    });
  }
  Strings Logins() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_logins;
  }

 private:
  std::mutex m_mutex;
  Strings m_logins;
};

}  // namespace

TEST_F(LinkLogin, AcceptedLoginSendsTheLoginLineAndGoesOnline) {
  ServeAcceptingLogins();
  StartLink(peer->Address(), "Nanashi@Velmo");
  ASSERT_TRUE(WaitFor("online"));
  EXPECT_EQ((Strings{"connecting", kAccepted, "online"}), recorder.Transcript());
  EXPECT_EQ((Strings{"Nanashi@Velmo quiet 0 \"Velmo v1.0\" 8"}), Logins());
  EXPECT_EQ(1, link.IsOnline());
  EXPECT_EQ(1, link.IsRunning());
}

// The second field, a port given modulo 65536 with text behind it, and a host
// name (the timed connect) all reach the same server.
TEST_F(LinkLogin, AddressFormsReachTheServerWithTheirSecondField) {
  ServeAcceptingLogins();
  const std::string wrapped = std::to_string(peer->Port() + 65536) + "x";
  const std::string addresses[] = {peer->Address("@guest"), peer->Address("@"),
                                   "localhost:" + wrapped};
  for (const std::string& address : addresses) {
    StartLink(address);
    ASSERT_TRUE(ServeUntil(queue, [&] { return link.IsOnline() == 1; })) << address;
    EXPECT_EQ(1, link.Stop());
  }
  EXPECT_EQ((Strings{"nick guest 0 \"Velmo v1.0\" 8", "nick quiet 0 \"Velmo v1.0\" 8",
                     "nick quiet 0 \"Velmo v1.0\" 8"}),
            Logins());
}

TEST_F(LinkLogin, RefusedLoginIsTriedFourTimesThenGivesUp) {
  Serve([](CPeerConnection& connection, int) {
    unsigned type = 0;
    std::string payload;
    connection.ReadFrame(&type, &payload);
    connection.Send(FrameBytes(5, ""));
    connection.WaitForClose();
  });
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("gave up 1"));
  Strings expected{"connecting"};
  for (int i = 0; i < 4; ++i) {
    expected.push_back("diag Recv: [0000][0005] No Data Message\r\n");
    expected.push_back("white ログイン失敗\r\n");
  }
  expected.push_back("gave up 1");
  EXPECT_EQ(expected, recorder.Transcript());
  EXPECT_EQ(0, link.IsOnline());
  EXPECT_EQ(0, link.IsRunning());
  EXPECT_FALSE(link.Socket().IsOpen());
}

// A reply announcing 1024 bytes is refused unread (the buffer holds 1023 and
// a NUL), and a reply whose payload stops fails the same way; each costs one
// attempt only.
TEST_F(LinkLogin, ReplyThatIsTooLongOrCutShortFailsOnlyThatAttempt) {
  Serve([](CPeerConnection& connection, int index) {
    unsigned type = 0;
    std::string payload;
    connection.ReadFrame(&type, &payload);
    if (index == 0) connection.Send(HeaderBytes(1024, 3) + std::string(1024, 'x'));
    if (index == 1) connection.Send(HeaderBytes(5, 3) + "ab");
    if (index < 2) return;
    connection.Send(FrameBytes(3, "ok"));
    connection.WaitForClose();
  });
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("online"));
  EXPECT_EQ((Strings{"connecting", "diag Recv: [1024][0003] Data Recv Failed!\r\n",
                     "diag Recv: [0005][0003] Data Recv Failed!\r\n", kAccepted, "online"}),
            recorder.Transcript());
}

// Costs the 10-second reply time-out once.
TEST_F(LinkLogin, UnansweredLoginTimesOutAndTheNextAttemptGoesOn) {
  Serve([](CPeerConnection& connection, int index) {
    if (index == 0) {
      unsigned type = 0;
      std::string payload;
      connection.ReadFrame(&type, &payload);
      connection.WaitForClose();
      return;
    }
    AcceptLogin(connection);
    connection.WaitForClose();
  });
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("online"));
  EXPECT_EQ((Strings{"connecting",
                     "diag Recv: [XXXX][XXXX] Header Recv Failed![RecvLen = -1 ErrorCode = 2]\r\n",
                     kAccepted, "online"}),
            recorder.Transcript());
}

TEST_F(LinkLogin, RefusedConnectsReportEachAttemptThenGiveUp) {
  const std::string port = std::to_string(UnusedPort());
  for (const std::string host : {"127.0.0.1", "localhost"}) {
    StartLink(host + ":" + port);
    ASSERT_TRUE(WaitFor("gave up 1")) << host;
    EXPECT_EQ((Strings{"connecting", "white Connect 失敗\r\n", "white Connect 失敗\r\n",
                       "white Connect 失敗\r\n", "white Connect 失敗\r\n", "gave up 1"}),
              recorder.Transcript())
        << host;
    recorder.Clear();
  }
}

TEST_F(LinkLogin, UnusableAddressesGiveUpWithoutALine) {
  for (const char* address : {"", "host", "host:", ":4000", "host:x"}) {
    StartLink(address);
    ASSERT_TRUE(WaitFor("gave up 1")) << address;
    EXPECT_EQ((Strings{"connecting", "gave up 1"}), recorder.Transcript()) << address;
    recorder.Clear();
  }
}
