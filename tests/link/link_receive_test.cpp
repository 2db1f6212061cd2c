// The link's receive loop, SendFrame on the wire, Stop in every state, and
// the synchrony of event delivery, with a real worker thread against a
// scripted peer that sends exact bytes.
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "link/frame.h"
#include "link_fixture.h"

namespace {

using Strings = std::vector<std::string>;

class LinkReceive : public LinkFixture {
 protected:
  ~LinkReceive() override { EndPeer(); }

  // A peer that accepts the login, sends bytes, then waits for the client to
  // go; peerSawClose tells whether it did.
  void ServeAfterLogin(const std::string& bytes) {
    Serve([this, bytes](CPeerConnection& connection, int) {
      AcceptLogin(connection);
      connection.Send(bytes);
      peerSawClose = connection.WaitForClose();
    });
  }
  // Starts the link and waits until the loop has ended.
  Strings RunUntilOffline() {
    StartLink(peer->Address());
    EXPECT_TRUE(WaitFor("offline"));
    Strings transcript = recorder.Transcript();
    // The login's own lines.
    transcript.erase(transcript.begin(), transcript.begin() + 3);
    return transcript;
  }

  std::atomic<bool> peerSawClose{false};
};

std::string Payload(std::size_t length, char fill) { return std::string(length, fill); }

}  // namespace

TEST_F(LinkReceive, FramesOfLength0To1023ArriveWholeAndTerminated) {
  const std::string full = Payload(1023, 'y');
  ServeAfterLogin(FrameBytes(425, "") + FrameBytes(403, "x") + FrameBytes(403, "ab") +
                  FrameBytes(403, full) + FrameBytes(621, "end"));
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("message 621 3 end"));
  EXPECT_EQ((Strings{"connecting", "diag Recv: [0002][0003] ok\r\n", "online", "message 425 0 ",
                     "message 403 1 x", "message 403 2 ab", "message 403 1023 " + full,
                     "message 621 3 end"}),
            recorder.Transcript());
}

TEST_F(LinkReceive, LengthOf1024EndsTheLoopUnread) {
  ServeAfterLogin(HeaderBytes(1024, 403) + Payload(1024, 'z'));
  EXPECT_EQ((Strings{"offline"}), RunUntilOffline());
  EXPECT_EQ(0, link.IsOnline());
  EXPECT_EQ(0, link.IsRunning());
  EXPECT_FALSE(link.Socket().IsOpen());
}

TEST_F(LinkReceive, PeerClosingMidHeaderEndsTheLoop) {
  Serve([](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    connection.Send(FrameBytes(403, "ok") + HeaderBytes(9, 403).substr(0, 2));
  });
  EXPECT_EQ((Strings{"message 403 2 ok", "offline"}), RunUntilOffline());
}

TEST_F(LinkReceive, PeerClosingMidPayloadEndsTheLoopWithoutDelivering) {
  Serve([](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    connection.Send(HeaderBytes(9, 403) + "#c ni");
  });
  EXPECT_EQ((Strings{"offline"}), RunUntilOffline());
}

// Costs the 5-second payload time-out once.
TEST_F(LinkReceive, PayloadThatStallsEndsTheLoop) {
  ServeAfterLogin(HeaderBytes(10, 403) + "#c ");
  EXPECT_EQ((Strings{"offline"}), RunUntilOffline());
  EXPECT_TRUE(ServeUntil(queue, [&] { return peerSawClose.load(); }));
}

TEST_F(LinkReceive, MessagesNoListenerHandlesGoToTheLog) {
  recorder.onMessage = [](const MessageRecord& record) { return record.type == 403 ? 1 : 0; };
  ServeAfterLogin(FrameBytes(403, "#c n hi") + FrameBytes(999, "50%s") + FrameBytes(407, ""));
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("diag [0000][0407] \r\n"));
  const Strings transcript = recorder.Transcript();
  EXPECT_EQ((Strings{"message 403 7 #c n hi", "message 999 4 50%s", "diag [0004][0999] 50%s\r\n",
                     "message 407 0 ", "diag [0000][0407] \r\n"}),
            Strings(transcript.begin() + 3, transcript.end()));
}

TEST_F(LinkReceive, WithoutATargetEveryFrameGoesToTheLog) {
  ServeAfterLogin(FrameBytes(403, "#c n hi"));
  ASSERT_EQ(1, link.Start(nullptr, peer->Address(), "nick"));
  ASSERT_TRUE(WaitFor("diag [0007][0403] #c n hi\r\n"));
  EXPECT_EQ((Strings{"diag Recv: [0002][0003] ok\r\n", "diag [0007][0403] #c n hi\r\n"}),
            recorder.Transcript());
  EXPECT_EQ(1, link.Stop());
}

// The worker waits in each delivery: while the first handler runs, the
// second frame (already sent) is not read, so the first record's payload
// stays intact. A handler may send meanwhile.
TEST_F(LinkReceive, EventsAreDeliveredOneAtATimeInOrder) {
  std::string reply;
  std::atomic<bool> replied{false};
  Serve([&](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    connection.Send(FrameBytes(403, "first") + FrameBytes(403, "second"));
    unsigned type = 0;
    connection.ReadFrame(&type, &reply);
    replied = true;
    connection.WaitForClose();
  });
  bool firstIntact = false;
  recorder.onMessage = [&](const MessageRecord& record) {
    if (std::strcmp(record.payload, "first") != 0) return 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    firstIntact =
        std::strcmp(record.payload, "first") == 0 && !recorder.Has("message 403 6 second");
    EXPECT_EQ(1, SendFrame(&link, 402, "%s %s", "#c", "seen"));
    return 1;
  };
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("message 403 6 second"));
  EXPECT_TRUE(firstIntact);
  ASSERT_TRUE(ServeUntil(queue, [&] { return replied.load(); }));
  EXPECT_EQ("#c seen", reply);
}

TEST_F(LinkReceive, SendFramePutsExactBytesOnTheWire) {
  const std::string payload1019 = Payload(1019, 'p');
  const std::string expected = std::string("\x00\x00\x02\x69", 4) +
                               std::string(
                                   "\x00\x05\x01\x92"
                                   "ab hi",
                                   9) +
                               std::string("\x03\xfb\x01\x92", 4) + payload1019 +
                               std::string(
                                   "\x00\x05\x01\x90"
                                   "#100%",
                                   9);
  std::string wire;
  std::atomic<bool> read{false};
  Serve([&](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    wire = connection.Read(expected.size());
    read = true;
    connection.WaitForClose();
  });
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("online"));
  EXPECT_EQ(1, SendFrame(&link, 617, ""));
  EXPECT_EQ(1, SendFrame(&link, 402, "%s %s", "ab", "hi"));
  EXPECT_EQ(1, SendFrame(&link, 402, "%s", payload1019.c_str()));
  // One byte more does not fit: refused, nothing sent.
  EXPECT_EQ(0, SendFrame(&link, 402, "%s", (payload1019 + "q").c_str()));
  EXPECT_EQ(1, SendFrame(&link, 400, "%s", "#100%"));
  ASSERT_TRUE(ServeUntil(queue, [&] { return read.load(); }));
  EXPECT_EQ(expected, wire);
  EXPECT_EQ(1, link.IsOnline());
}

TEST_F(LinkReceive, SendFrameWithoutAConnectionSendsNothing) {
  EXPECT_EQ(0, SendFrame(&link, 617, ""));
  EXPECT_EQ(StatusNotOpen, link.Socket().GetStatus());
  EXPECT_EQ(0, SendFrame(nullptr, 617, ""));
}

TEST_F(LinkReceive, StopWhileIdleReturnsZeroAndReportsNothing) {
  EXPECT_EQ(0, link.Stop());
  EXPECT_TRUE(recorder.Transcript().empty());
}

TEST_F(LinkReceive, StopWhileOnlineEndsTheWorker) {
  ServeAfterLogin("");
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("online"));
  EXPECT_EQ(1, link.Stop());
  EXPECT_EQ(0, link.IsRunning());
  EXPECT_EQ(0, link.IsOnline());
  EXPECT_EQ("offline", recorder.Transcript().back());
  ASSERT_TRUE(ServeUntil(queue, [&] { return peerSawClose.load(); }));
}

// Stop closes the attempt in progress; the worker must not go on with the
// remaining attempts (each of which this peer would answer).
TEST_F(LinkReceive, StopWhileConnectingEndsTheWorkerBeforeAnotherAttempt) {
  std::atomic<bool> loginSeen{false};
  Serve([&](CPeerConnection& connection, int index) {
    if (index > 0) {
      AcceptLogin(connection);
      connection.WaitForClose();
      return;
    }
    unsigned type = 0;
    std::string payload;
    connection.ReadFrame(&type, &payload);
    loginSeen = true;
    connection.WaitForClose();
  });
  StartLink(peer->Address());
  ASSERT_TRUE(ServeUntil(queue, [&] { return loginSeen.load(); }));
  EXPECT_EQ(1, link.Stop());
  EXPECT_EQ(0, link.IsRunning());
  const Strings transcript = recorder.Transcript();
  EXPECT_EQ("connecting", transcript.front());
  EXPECT_EQ("gave up 1", transcript.back());
  EXPECT_FALSE(recorder.Has("online"));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(1, peer->Accepted());
}

TEST_F(LinkReceive, StartWhileRunningStopsTheOldWorkerFirst) {
  std::atomic<int> closes{0};
  Serve([&](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    if (connection.WaitForClose()) closes++;
  });
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("online"));
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("online", 2));
  EXPECT_EQ((Strings{"connecting", "diag Recv: [0002][0003] ok\r\n", "online", "offline",
                     "connecting", "diag Recv: [0002][0003] ok\r\n", "online"}),
            recorder.Transcript());
  // The first connection was closed by the restart.
  EXPECT_TRUE(ServeUntil(queue, [&] { return closes.load() == 1; }));
  EndPeer();
}

TEST_F(LinkReceive, DestroyingARunningLinkEndsItsWorker) {
  ServeAfterLogin("");
  {
    CServerLink local;
    ASSERT_EQ(1, local.Start(&queue, peer->Address(), "nick"));
    ASSERT_TRUE(WaitFor("online"));
  }
  EXPECT_EQ("offline", recorder.Transcript().back());
  ASSERT_TRUE(ServeUntil(queue, [&] { return peerSawClose.load(); }));
}
