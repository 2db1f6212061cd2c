// CStreamSocket against real loopback peers: connecting, the failure table,
// per-call time-outs and a close from another thread.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <pthread.h>
#include <signal.h>
#endif

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/stream_socket.h"
#include "peer.h"

namespace {

std::uint32_t Loopback() { return htonl(INADDR_LOOPBACK); }

// A peer that keeps every connection until the client goes.
void HoldOpen(CPeerConnection& connection, int) { connection.WaitForClose(20000); }

}  // namespace

TEST(StreamSocketConnect, ReachesAListenerByDottedAddressAndByHostName) {
  CScriptedPeer peer(HoldOpen);
  for (const char* host : {"127.0.0.1", "localhost"}) {
    CStreamSocket socket;
    EXPECT_EQ(1, socket.ConnectHost(host, peer.Port(), 10)) << host;
    EXPECT_EQ(StatusOk, socket.GetStatus()) << host;
    EXPECT_TRUE(socket.IsOpen()) << host;
  }
}

TEST(StreamSocketConnect, ConnectWhileOpenFailsAndLeavesTheConnectionUsable) {
  std::string received;
  std::atomic<bool> done{false};
  CScriptedPeer peer([&](CPeerConnection& connection, int) {
    received = connection.Read(2);
    done = true;
  });
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  EXPECT_EQ(0, socket.Connect(Loopback(), peer.Port(), 0));
  EXPECT_EQ(StatusError, socket.GetStatus());
  EXPECT_TRUE(socket.IsOpen());
  EXPECT_EQ(2, socket.SendAll("hi", 2, 10));
  while (!done) std::this_thread::yield();
  EXPECT_EQ("hi", received);
}

// A refused connect fails at once with an error, on the timed path too; it
// does not wait out the time-out (that would be StatusTimedOut).
TEST(StreamSocketConnect, RefusedConnectFailsAtOnceWithError) {
  const unsigned port = UnusedPort();
  CStreamSocket socket;
  EXPECT_EQ(0, socket.Connect(Loopback(), port, 10));
  EXPECT_EQ(StatusError, socket.GetStatus());
  EXPECT_FALSE(socket.IsOpen());
  EXPECT_EQ(0, socket.Connect(Loopback(), port, 0));
  EXPECT_EQ(StatusError, socket.GetStatus());
  EXPECT_EQ(0, socket.ConnectHost("localhost", port, 10));
  EXPECT_EQ(StatusError, socket.GetStatus());
}

TEST(StreamSocketConnect, NameThatDoesNotResolveFailsWithoutASocket) {
  CStreamSocket socket;
  EXPECT_EQ(0, socket.ConnectHost("no-such-host.invalid", 4000, 10));
  EXPECT_EQ(StatusError, socket.GetStatus());
  EXPECT_FALSE(socket.IsOpen());
  EXPECT_EQ(0, socket.Close());
  EXPECT_EQ(StatusNotOpen, socket.GetStatus());
}

TEST(StreamSocketTransfer, ReceiveAllCollectsPiecesThatArriveApart) {
  CScriptedPeer peer([](CPeerConnection& connection, int) {
    connection.Send("ab");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    connection.Send("cd");
    connection.WaitForClose();
  });
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  char buffer[5] = {};
  EXPECT_EQ(4, socket.ReceiveAll(buffer, 4, 10));
  EXPECT_STREQ("abcd", buffer);
  EXPECT_EQ(StatusOk, socket.GetStatus());
}

#ifndef _WIN32
// A signal whose handler does not restart calls (as libFuzzer's timer, or a
// host's own) lands on the receiving thread: the receive goes on waiting.
TEST(StreamSocketTransfer, SignalDuringABlockedReceiveIsNoFailure) {
  struct sigaction action = {};
  struct sigaction previous = {};
  action.sa_handler = [](int) {};
  ASSERT_EQ(0, sigaction(SIGUSR1, &action, &previous));
  CScriptedPeer peer([](CPeerConnection& connection, int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    connection.Send("ok");
    connection.WaitForClose();
  });
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  const pthread_t receiver = pthread_self();
  std::thread signaller([receiver] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pthread_kill(receiver, SIGUSR1);
  });
  char buffer[3] = {};
  EXPECT_EQ(2, socket.ReceiveAll(buffer, 2, 10));
  EXPECT_STREQ("ok", buffer);
  EXPECT_EQ(StatusOk, socket.GetStatus());
  signaller.join();
  sigaction(SIGUSR1, &previous, nullptr);
}
#endif

TEST(StreamSocketTransfer, ReceiveTimeOutClosesWithTimedOutThenEverythingFindsItClosed) {
  CScriptedPeer peer(HoldOpen);
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  char byte = 0;
  EXPECT_EQ(-1, socket.ReceiveOnce(&byte, 1, 1));
  EXPECT_EQ(StatusTimedOut, socket.GetStatus());
  EXPECT_FALSE(socket.IsOpen());
  EXPECT_EQ(-1, socket.SendAll("x", 1, 10));
  EXPECT_EQ(StatusNotOpen, socket.GetStatus());
  EXPECT_EQ(-1, socket.ReceiveAll(&byte, 1, 0));
  EXPECT_EQ(StatusNotOpen, socket.GetStatus());
}

TEST(StreamSocketTransfer, PeerThatClosesMakesReceiveFailWithError) {
  CScriptedPeer peer([](CPeerConnection& connection, int) { connection.Close(); });
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  char byte = 0;
  EXPECT_EQ(-1, socket.ReceiveAll(&byte, 1, 10));
  EXPECT_EQ(StatusError, socket.GetStatus());
  EXPECT_FALSE(socket.IsOpen());
}

// The process must survive: on POSIX a send to a reset connection would
// otherwise raise SIGPIPE.
TEST(StreamSocketTransfer, SendToAPeerThatHasGoneFailsWithError) {
  CScriptedPeer peer([](CPeerConnection& connection, int) { connection.Close(); });
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  const std::vector<char> block(65536, 'x');
  int result = 0;
  for (int i = 0; i < 100 && result >= 0; ++i)
    result = socket.SendAll(block.data(), static_cast<int>(block.size()), 10);
  EXPECT_EQ(-1, result);
  EXPECT_EQ(StatusError, socket.GetStatus());
}

TEST(StreamSocketClose, SecondCloseFindsNothingOpen) {
  CScriptedPeer peer(HoldOpen);
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  EXPECT_EQ(1, socket.Close());
  EXPECT_EQ(StatusOk, socket.GetStatus());
  EXPECT_EQ(0, socket.Close());
  EXPECT_EQ(StatusNotOpen, socket.GetStatus());
}

TEST(StreamSocketClose, CloseFromAnotherThreadWakesABlockedReceive) {
  CScriptedPeer peer(HoldOpen);
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  std::atomic<int> result{1};
  std::thread receiver([&] {
    char buffer[4];
    result = socket.ReceiveAll(buffer, 4, 0);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  socket.Close();
  receiver.join();
  EXPECT_EQ(-1, result.load());
  EXPECT_FALSE(socket.IsOpen());
}

TEST(StreamSocketClose, TwoThreadsClosingReleaseTheHandleOnce) {
  CScriptedPeer peer(HoldOpen);
  for (int round = 0; round < 50; ++round) {
    CStreamSocket socket;
    ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
    std::atomic<bool> go{false};
    std::atomic<int> closed{0};
    auto closer = [&] {
      while (!go) std::this_thread::yield();
      closed += socket.Close();
    };
    std::thread a(closer);
    std::thread b(closer);
    go = true;
    a.join();
    b.join();
    EXPECT_EQ(1, closed.load()) << "round " << round;
  }
}
