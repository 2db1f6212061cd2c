// CStreamSocket against real loopback peers: connecting, the failure table,
// per-call time-outs and a close from another thread.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#endif

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "full_listener.h"
#include "link/stream_socket.h"
#include "tests/support/fault_seam.h"
#include "tests/support/peer.h"

namespace {

std::uint32_t Loopback() { return htonl(INADDR_LOOPBACK); }

// A peer that keeps every connection until the client goes.
void HoldOpen(CPeerConnection& connection, int) { connection.WaitForClose(); }

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void WaitUntil(const std::atomic<bool>& flag) {
  while (!flag) std::this_thread::yield();
}

// The bytes that have arrived on s unread.
long UnreadBytes(link_platform::SocketHandle s) {
#ifdef _WIN32
  u_long unread = 0;
  ioctlsocket(s, FIONREAD, &unread);
#else
  int unread = 0;
  ioctl(s, FIONREAD, &unread);
#endif
  return static_cast<long>(unread);
}

#ifndef _WIN32
// Installs a handler that does not restart calls, as libFuzzer's timer or a
// host's own would, and sends the signal to a thread after a delay.
class CSignalLater {
 public:
  CSignalLater(pthread_t target, int delayMs) {
    struct sigaction action = {};
    action.sa_handler = [](int) {};
    sigaction(SIGUSR1, &action, &m_previous);
    m_thread = std::thread([target, delayMs] {
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      pthread_kill(target, SIGUSR1);
    });
  }
  ~CSignalLater() {
    m_thread.join();
    sigaction(SIGUSR1, &m_previous, nullptr);
  }

 private:
  struct sigaction m_previous = {};
  std::thread m_thread;
};
#endif

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

// "255.255.255.255" is the value the dotted-address parser gives for text it
// cannot parse, so it is no dotted address: it goes to the name lookup.
TEST(StreamSocketConnect, TheInvalidAddressValueGoesToTheNameLookup) {
  std::atomic<int> lookups{0};
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle) {
    if (call == CFaultSeam::Call::kResolve) ++lookups;
    return 0;
  });
  CStreamSocket socket;
  socket.ConnectHost("255.255.255.255", UnusedPort(), 1);
  socket.Close();
  EXPECT_EQ(1, lookups.load());
  EXPECT_EQ("", seam.HandleFaults());
}

// A connect that gets no answer waits out its time-out and says so with
// StatusTimedOut; a signal during the wait changes nothing.
TEST(StreamSocketConnect, TimedConnectThatGetsNoAnswerTimesOut) {
  CFullListener listener;
  for (bool signalled : {false, true}) {
#ifdef _WIN32
    if (signalled) continue;
#endif
    CStreamSocket socket;
    const Clock::time_point start = Clock::now();
    int result;
    {
#ifndef _WIN32
      std::unique_ptr<CSignalLater> signal;
      if (signalled) signal = std::make_unique<CSignalLater>(pthread_self(), 200);
#endif
      result = socket.Connect(Loopback(), listener.Port(), 2);
    }
    EXPECT_EQ(0, result) << "signalled " << signalled;
    EXPECT_EQ(StatusTimedOut, socket.GetStatus()) << "signalled " << signalled;
    EXPECT_GE(SecondsSince(start), 1.9) << "signalled " << signalled;
    EXPECT_FALSE(socket.IsOpen());
  }
}

// Stop's way of ending a connect: a Close from the other thread ends the wait
// at once, and the connect does not report a socket that is gone as success.
TEST(StreamSocketConnect, CloseFromAnotherThreadEndsAWaitingConnect) {
  CFullListener listener;
  CFaultSeam seam;
  CStreamSocket socket;
  std::atomic<int> result{-1};
  std::atomic<bool> returned{false};
  // A time-out far longer than any pause a busy machine makes.
  std::thread connector([&] {
    result = socket.Connect(Loopback(), listener.Port(), 60);
    returned = true;
  });
  while (!socket.IsOpen()) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const Clock::time_point closed = Clock::now();
  EXPECT_EQ(1, socket.Close());
  WaitUntil(returned);
  EXPECT_LT(SecondsSince(closed), 30.0) << "ended by the close, not by its time-out";
  connector.join();
  EXPECT_EQ(0, result.load());
  EXPECT_EQ(StatusError, socket.GetStatus());
  EXPECT_FALSE(socket.IsOpen());
  EXPECT_EQ("", seam.HandleFaults());
}

// The connection is made, but the other thread closes the socket before the
// connect has looked: that is no success.
TEST(StreamSocketConnect, ConnectDoesNotReportASocketClosedDuringItsWait) {
  CScriptedPeer peer(HoldOpen);
  std::atomic<bool> closeNow{false};
  std::atomic<bool> closed{false};
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle) {
    if (call != CFaultSeam::Call::kWait || closeNow) return 0;
    closeNow = true;
    WaitUntil(closed);
    return 0;
  });
  CStreamSocket socket;
  std::atomic<int> result{-1};
  std::thread connector([&] { result = socket.ConnectHost("localhost", peer.Port(), 10); });
  WaitUntil(closeNow);
  EXPECT_EQ(1, socket.Close());
  closed = true;
  connector.join();
  EXPECT_EQ(0, result.load());
  EXPECT_EQ(StatusError, socket.GetStatus());
  EXPECT_FALSE(socket.IsOpen());
  EXPECT_EQ("", seam.HandleFaults());
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

// A send on the user-interface thread fails after Stop closed its socket and
// the worker connected a new one: the failure must not close the new one.
TEST(StreamSocketTransfer, AFailedSendClosesOnlyTheSocketItUsed) {
  std::string received;
  std::atomic<bool> done{false};
  CScriptedPeer peer([&](CPeerConnection& connection, int index) {
    if (index == 0) {
      connection.WaitForClose();
      return;
    }
    received = connection.Read(2);
    done = true;
  });
  std::atomic<bool> sending{false};
  std::atomic<bool> reconnected{false};
  std::atomic<bool> injected{false};
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle) {
    if (call != CFaultSeam::Call::kSend || injected.exchange(true)) return 0;
    sending = true;
    WaitUntil(reconnected);
    return link_platform::kErrorReset;
  });
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  std::atomic<int> sent{0};
  std::thread sender([&] { sent = socket.SendAll("old", 3, 10); });
  WaitUntil(sending);
  EXPECT_EQ(1, socket.Close());
  EXPECT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  reconnected = true;
  sender.join();
  EXPECT_EQ(-1, sent.load());
  ASSERT_TRUE(socket.IsOpen());
  EXPECT_EQ(StatusOk, socket.GetStatus());
  EXPECT_EQ(2, socket.SendAll("hi", 2, 10));
  WaitUntil(done);
  EXPECT_EQ("hi", received);
  socket.Close();
  EXPECT_EQ("", seam.HandleFaults());
}

// A closed handle is released as soon as the last call on it ends, even while
// a receive on the next connection goes on waiting.
TEST(StreamSocketClose, AClosedHandleIsReleasedWhileTheNextOneIsBusy) {
  CScriptedPeer peer(HoldOpen);
  std::atomic<bool> sending{false};
  std::atomic<bool> goOn{false};
  std::atomic<bool> watchReceive{false};
  std::atomic<bool> receiving{false};
  std::atomic<CFaultSeam::Handle> first{link_platform::kInvalidSocket};
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle handle) {
    if (call == CFaultSeam::Call::kTransferWait && watchReceive) receiving = true;
    if (call != CFaultSeam::Call::kSend || first != link_platform::kInvalidSocket) return 0;
    first = handle;
    sending = true;
    WaitUntil(goOn);
    return 0;
  });
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  std::thread sender([&] { socket.SendOnce("x", 1, 10); });
  WaitUntil(sending);
  EXPECT_EQ(1, socket.Close());
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  watchReceive = true;
  std::atomic<int> received{0};
  std::thread receiver([&] {
    char byte;
    received = socket.ReceiveOnce(&byte, 1, 0);
  });
  WaitUntil(receiving);
  goOn = true;
  sender.join();
  EXPECT_TRUE(seam.WasReleased(first));
  socket.Close();
  receiver.join();
  EXPECT_EQ(-1, received.load());
  EXPECT_EQ("", seam.HandleFaults());
}

// Close drains what is left before it releases, for a bounded time: a peer
// that sends faster than the close reads (each receive is slowed here) does
// not hold Close (and Stop); the peer itself stops only at the hang bound.
TEST(StreamSocketClose, CloseReturnsWhileThePeerKeepsSendingFasterThanItIsRead) {
  std::atomic<bool> stop{false};
  std::atomic<int> sent{0};
  const auto bound = Clock::now() + std::chrono::milliseconds(kHangBoundMs);
  CScriptedPeer peer([&](CPeerConnection& connection, int) {
    const std::string block(4096, 'f');
    while (!stop && Clock::now() < bound && connection.Send(block)) sent += 4096;
  });
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), peer.Port(), 0));
  while (sent < 256 * 1024) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle) {
    if (call == CFaultSeam::Call::kReceive)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 0;
  });
  EXPECT_EQ(1, socket.Close());
  EXPECT_LT(Clock::now(), bound) << "Close waited until the peer stopped";
  stop = true;
}

// A close with bytes still unread and bytes still on their way out: what was
// sent reaches the peer whole, then the end of the stream, not a reset. The
// peer's small receive buffer keeps part of the sent bytes in the client's
// send buffer at the close. More is unread than SO_RCVBUF says: Linux's
// figure follows its receive auto-tuning, Windows' (and Wine's) keeps its
// first one while far more may queue, so it is lowered here below what has
// arrived, as Windows would give it.
TEST(StreamSocketClose, ACloseWithUnreadBytesEndsInOrderAfterEverythingSent) {
  const auto start = Clock::now();
  unsigned port = 0;
  const link_platform::SocketHandle listener = BoundLoopbackSocket(&port);
  int small = 2048;
  setsockopt(listener, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&small), sizeof(small));
  listen(listener, 1);
  std::atomic<CFaultSeam::Handle> client{link_platform::kInvalidSocket};
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle handle) {
    if (call == CFaultSeam::Call::kConnect) client = handle;
    return 0;
  });
  CStreamSocket socket;
  ASSERT_EQ(1, socket.Connect(Loopback(), port, 0));
  std::atomic<bool> ended{false};
  const link_platform::SocketHandle accepted = accept(listener, nullptr, nullptr);
  CPeerConnection peer(accepted, &ended);
  ASSERT_TRUE(peer.Send(std::string(100000, 'u')));
  // The peer's bytes arrive; all but ten stay unread.
  char first[10];
  ASSERT_EQ(10, socket.ReceiveAll(first, 10, 10));
  while (UnreadBytes(client) < 99990 && SecondsSince(start) < kHangBoundMs / 1000)
    std::this_thread::yield();
  int figure = 4096;
  setsockopt(client, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&figure), sizeof(int));
  std::string sent;
  for (int i = 0; sent.size() < 8000; ++i) sent += std::to_string(i) + ' ';
  ASSERT_EQ(static_cast<int>(sent.size()),
            socket.SendAll(sent.data(), static_cast<int>(sent.size()), 10));
  EXPECT_EQ(1, socket.Close());
  const std::string received = peer.Read(sent.size());
  EXPECT_EQ(sent.size(), received.size());
  EXPECT_TRUE(received == sent);
  EXPECT_TRUE(peer.EndsInOrder());
#ifdef _WIN32
  // The answer this test stands on: a receive after a shutdown of receiving
  // fails, where a kinder platform gives the end of the stream.
  shutdown(accepted, SD_RECEIVE);
  EXPECT_EQ(SOCKET_ERROR, recv(accepted, first, 1, 0));
  EXPECT_EQ(WSAESHUTDOWN, WSAGetLastError());
#endif
  link_platform::ReleaseHandle(listener);
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
