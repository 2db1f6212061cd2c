// The link under faults: every platform call failing in turn over a whole
// session, the server cutting the connection at every byte, peers that
// stall or never answer, and a Stop that lands before the socket exists.
// Whatever happens, a session reports Connecting first and exactly one
// GaveUp or Offline last, delivers only whole frames in order, releases
// every handle once, and Stop returns.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "full_listener.h"
#include "link/frame.h"
#include "link/message_catalogue.h"
#include "link_fixture.h"
#include "session_check.h"
#include "tests/support/fault_seam.h"
#include "tests/support/hang_bound.h"

namespace {

using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The frames a session receives after its login, as the peer sends them and
// as the transcript shows them.
struct Frame {
  unsigned type;
  std::string payload;
};
const std::vector<Frame> kStream = {
    {403, "#c alice hi"}, {425, ""}, {407, "#c bob"}, {621, std::string(300, 'p')}, {403, "x"},
};

std::string StreamBytes(std::size_t frames) {
  std::string bytes;
  for (std::size_t i = 0; i < frames; ++i) bytes += FrameBytes(kStream[i].type, kStream[i].payload);
  return bytes;
}

std::string Entry(const Frame& frame) {
  return "message " + std::to_string(frame.type) + " " + std::to_string(frame.payload.size()) +
         " " + frame.payload;
}

int Messages(const Strings& transcript) {
  int count = 0;
  for (const std::string& entry : transcript) count += entry.rfind("message ", 0) == 0 ? 1 : 0;
  return count;
}

class LinkFaults : public LinkFixture {
 protected:
  ~LinkFaults() override { EndPeer(); }
};

}  // namespace

// One session: log in through the name lookup and the timed connect, receive
// ten frames, send one from the user-interface thread, Stop. Each platform
// call is made to fail in turn, with a reset and then with a time-out.
TEST_F(LinkFaults, EveryPlatformCallFailingInTurnEndsTheSessionCleanly) {
  Strings expected;
  for (int i = 0; i < 10; ++i) expected.push_back(Entry(kStream[i % kStream.size()]));
  std::string frames;
  for (int i = 0; i < 10; ++i)
    frames += FrameBytes(kStream[i % kStream.size()].type, kStream[i % kStream.size()].payload);
  Serve([frames](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    connection.Send(frames);
    unsigned type = 0;
    std::string payload;
    connection.ReadFrame(&type, &payload);
    connection.WaitForClose();
  });

  // Runs the session, failing call number target (0: none); returns the
  // number of calls made.
  auto session = [&](int target, int error, const std::string& name) {
    std::atomic<int> made{0};
    CFaultSeam seam(
        [&](CFaultSeam::Call, CFaultSeam::Handle) { return ++made == target ? error : 0; });
    recorder.Clear();
    StartLink("localhost:" + std::to_string(peer->Port()));
    auto ended = [&] { return recorder.Has("offline") || recorder.Has("gave up 1"); };
    EXPECT_TRUE(ServeUntil(queue, [&] { return ended() || Messages(recorder.Transcript()) == 10; }))
        << name;
    if (link.IsOnline()) SendFrame(&link, 5, "client %d", 1);
    link.Stop();
    EXPECT_EQ(0, link.IsRunning()) << name;
    // A worker that ended on its own before Stop delivers its last event
    // through the ordinary message loop.
    EXPECT_TRUE(ServeUntil(queue, ended)) << name;
    EXPECT_EQ("", CheckSession(recorder.Transcript(), expected)) << name;
    EXPECT_EQ("", seam.HandleFaults()) << name;
    return made.load();
  };

  const int calls = session(0, 0, "no fault");
  ASSERT_GT(calls, 20);
  int tried = 0;
  for (int error : {link_platform::kErrorReset, link_platform::kErrorTimedOut}) {
    // Thread timing moves a few calls; the margin covers them.
    for (int target = 1; target <= calls + 5; ++target, ++tried)
      session(target, error, "call " + std::to_string(target) + " error " + std::to_string(error));
  }
  std::printf("failure points tried: %d (%d calls per session, 2 errors)\n", tried, calls);
}

// The server goes away after every byte of its login reply in turn: each cut
// fails that attempt, and after four the link gives up, never online.
TEST_F(LinkFaults, LoginReplyCutAtEveryByteGivesUp) {
  const std::string reply = FrameBytes(3, "ok");
  std::atomic<std::size_t> cut{0};
  Serve([&](CPeerConnection& connection, int) {
    unsigned type = 0;
    std::string login;
    if (!connection.ReadFrame(&type, &login)) return;
    connection.Send(reply.substr(0, cut));
  });
  for (std::size_t at = 0; at < reply.size(); ++at) {
    cut = at;
    recorder.Clear();
    StartLink(peer->Address());
    ASSERT_TRUE(WaitFor("gave up 1")) << "cut at " << at;
    EXPECT_EQ("", CheckSession(recorder.Transcript(), Strings{})) << "cut at " << at;
    // Each of the four attempts read a reply and said what failed.
    int replyLines = 0;
    for (const std::string& entry : recorder.Transcript())
      replyLines += entry.rfind("diag Recv:", 0) == 0 ? 1 : 0;
    EXPECT_EQ(4, replyLines) << "cut at " << at;
  }
}

// The server goes away after every byte of a stream of frames in turn (inside
// headers, inside payloads, between frames): the frames wholly sent arrive
// whole and in order, the cut one never, then Offline once.
TEST_F(LinkFaults, FrameStreamCutAtEveryByteDeliversOnlyWholeFrames) {
  const std::string stream = StreamBytes(kStream.size());
  std::atomic<std::size_t> cut{0};
  Serve([&](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    connection.Send(stream.substr(0, cut));
  });
  Strings all;
  for (const Frame& frame : kStream) all.push_back(Entry(frame));
  for (std::size_t at = 0; at <= stream.size(); ++at) {
    cut = at;
    recorder.Clear();
    StartLink(peer->Address());
    ASSERT_TRUE(WaitFor("offline")) << "cut at " << at;
    std::size_t whole = 0;
    while (whole < kStream.size() && StreamBytes(whole + 1).size() <= at) ++whole;
    const Strings transcript = recorder.Transcript();
    EXPECT_EQ("", CheckSession(transcript, all)) << "cut at " << at;
    EXPECT_EQ(static_cast<int>(whole), Messages(transcript)) << "cut at " << at;
  }
  std::printf("offsets cut: %zu\n", stream.size() + 1);
}

// Costs 6 seconds: an idle link stays online however long the server is
// silent between frames; only a payload in progress has a time limit.
TEST_F(LinkFaults, AnIdleLinkWaitsForTheNextHeaderWithoutLimit) {
  Serve([](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    std::this_thread::sleep_for(std::chrono::seconds(6));
    connection.Send(FrameBytes(403, "late"));
    connection.WaitForClose();
  });
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("message 403 4 late"));
  EXPECT_FALSE(recorder.Has("offline"));
  EXPECT_EQ(1, link.IsOnline());
}

// Costs 3 seconds: a login reply that comes late and in pieces is still
// taken, on the first attempt.
TEST_F(LinkFaults, ASlowLoginReplyIsStillAccepted) {
  Serve([](CPeerConnection& connection, int) {
    unsigned type = 0;
    std::string login;
    if (!connection.ReadFrame(&type, &login)) return;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    for (char byte : FrameBytes(3, "ok")) {
      connection.Send(std::string(1, byte));
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    connection.WaitForClose();
  });
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("online"));
  EXPECT_EQ(1, peer->Accepted());
}

// A server that stops reading and never closes: Stop ends the online link at
// once all the same.
TEST_F(LinkFaults, StopReturnsAtOnceWhenThePeerNeitherReadsNorCloses) {
  // Outlives the test body: the peer's thread ends with the fixture.
  auto release = std::make_shared<std::atomic<bool>>(false);
  Serve([release](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    // As long as its test: released at the test's end, or at the hang bound.
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(kHangBoundMs);
    while (!*release && Clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  });
  StartLink(peer->Address());
  EXPECT_TRUE(WaitFor("online"));
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(1, link.Stop());
  // Half the link's shortest time-out (10 s): a Stop that waited for one
  // fails here, however busy the machine.
  EXPECT_LT(SecondsSince(start), 5.0);
  *release = true;
}

// A server that never answers the connect: Stop during the connect's wait
// ends the link at once instead of waiting out the connect's time-out (10 s
// for a host name; the platform's own, minutes, for a dotted address).
TEST_F(LinkFaults, StopDuringAConnectThatGetsNoAnswerReturnsAtOnce) {
  CFullListener listener;
  for (const std::string& address :
       {listener.HostAddress(), "127.0.0.1:" + std::to_string(listener.Port())}) {
    recorder.Clear();
    StartLink(address);
    ASSERT_TRUE(ServeUntil(queue, [&] { return link.Socket().IsOpen(); })) << address;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(1, link.Stop()) << address;
    EXPECT_LT(SecondsSince(start), 5.0) << address << ": not the connect's 10 s time-out";
    ServeUntil(queue, [&] { return recorder.Has("gave up 1"); });
    EXPECT_EQ("", CheckSession(recorder.Transcript(), Strings{})) << address;
  }
}

// A page's frame while the connect still waits for an answer, and again
// once it is made but the login not yet sent: refused at once, the attempt
// goes on undisturbed, and the first frame the server reads is the login.
// (On Windows a send on a socket still connecting fails and would have
// ended the attempt; elsewhere it waits for the connect and would have gone
// out ahead of the login.)
TEST_F(LinkFaults, AFrameSentWhileConnectingIsRefusedAndTheLoginGoesFirst) {
  CFullListener listener;
  StartLink("127.0.0.1:" + std::to_string(listener.Port()));
  ASSERT_TRUE(ServeUntil(queue, [&] { return link.Socket().IsOpen(); }));
  EXPECT_EQ(0, SendJoin(&link, "#early"));
  std::atomic<bool> read{false};
  unsigned type = 0;
  std::string payload;
  std::thread server([&] {
    listener.FirstFrameOfTheNextConnect(&type, &payload);
    read = true;
  });
  ServeUntil(queue, [&] { return read.load(); });
  server.join();
  EXPECT_EQ(static_cast<unsigned>(MsgLogin), type) << payload;
  EXPECT_FALSE(recorder.Has("white Connect 失敗\r\n"));
  link.Stop();

  // Connected, with the worker held just before it sends the login.
  std::atomic<unsigned> first{0};
  Serve([&](CPeerConnection& connection, int) {
    if (connection.ReadFrame(&type, &payload)) first = type;
    connection.WaitForClose();
  });
  std::atomic<bool> held{false};
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle) {
    const Clock::time_point start = Clock::now();
    if (call == CFaultSeam::Call::kSend && !held.exchange(true))
      while (!read && SecondsSince(start) * 1000 < kHangBoundMs) std::this_thread::yield();
    return 0;
  });
  read = false;
  StartLink(peer->Address());
  ASSERT_TRUE(ServeUntil(queue, [&] { return held.load(); }));
  EXPECT_EQ(0, SendJoin(&link, "#early"));
  read = true;
  ServeUntil(queue, [&] { return first != 0; });
  EXPECT_EQ(static_cast<unsigned>(MsgLogin), first.load()) << payload;
  EndPeer();
}

// Stop lands while the worker is creating its socket: the attempt must still
// end before the login is sent (the peer would otherwise keep Stop waiting
// for its reply).
TEST_F(LinkFaults, StopBeforeTheSocketExistsEndsTheAttemptBeforeTheLogin) {
  std::atomic<bool> loginSeen{false};
  Serve([&](CPeerConnection& connection, int) {
    unsigned type = 0;
    std::string login;
    if (connection.ReadFrame(&type, &login)) loginSeen = true;
    connection.WaitForClose();
  });
  std::atomic<bool> creating{false};
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle) {
    if (call != CFaultSeam::Call::kSocket || creating.exchange(true)) return 0;
    // The socket is created once Stop has raised its request.
    while (!link.Socket().IsRefusingConnects()) std::this_thread::yield();
    return 0;
  });
  StartLink(peer->Address());
  ASSERT_TRUE(ServeUntil(queue, [&] { return creating.load(); }));
  EXPECT_EQ(1, link.Stop());
  EXPECT_EQ("gave up 1", recorder.Transcript().back());
  EXPECT_FALSE(recorder.Has("online"));
  peer.reset();
  EXPECT_FALSE(loginSeen.load());
  EXPECT_EQ("", seam.HandleFaults());
}

// An idle link waits for bytes without receiving: WinSock leaves a
// connection whose receive timed out in an indeterminate state, so the link
// must never make a receive that could time out. It tries one that cannot
// wait (the socket is non-blocking), then waits for readiness.
TEST_F(LinkFaults, AnIdleLinkMakesNoReceiveUntilBytesCome) {
  Serve([](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    connection.WaitForClose();
  });
  std::atomic<bool> watching{false};
  std::atomic<int> waits{0};
  std::atomic<int> receives{0};
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle) {
    if (watching && call == CFaultSeam::Call::kTransferWait) ++waits;
    if (watching && call == CFaultSeam::Call::kReceive) ++receives;
    return 0;
  });
  StartLink(peer->Address());
  ASSERT_TRUE(WaitFor("online"));
  watching = true;
  // Six slices of silence, each seen as a wait or (with receive time-outs)
  // as a receive.
  ASSERT_TRUE(ServeUntil(queue, [&] { return waits + receives >= 6; }));
  EXPECT_LE(receives.load(), 1) << "at most the one that found nothing before the waits";
  EXPECT_EQ(1, link.IsOnline());
  // The worker consults the seam until it has ended.
  link.Stop();
}

// Stop at each stage of an attempt returns once the platform call in
// progress has returned, and no socket is opened after it: a name lookup
// that ends after Stop must not go on to connect (for up to 10 s to a host
// that never answers). The last stage is a receive whose wait the close does
// not wake (its shutdown skipped, as some platforms' shutdown wakes no
// wait): the wait must still end of itself. The times are printed; the
// bound is half the link's own time-out for the worker.
TEST_F(LinkFaults, StopAtEachStageOfAnAttemptOpensNoSocketAfterIt) {
  enum class Stage { kLookup, kConnect, kLoginReply, kReceive, kUnwokenReceive };
  CFullListener silent;
  std::atomic<Stage> stage{Stage::kLookup};
  std::atomic<bool> loginRead{false};
  Serve([&](CPeerConnection& connection, int) {
    if (stage == Stage::kLoginReply) {
      unsigned type = 0;
      std::string login;
      loginRead = connection.ReadFrame(&type, &login, kHangBoundMs);
    } else {
      AcceptLogin(connection);
    }
    connection.WaitForClose();
  });
  std::atomic<bool> stopping{false};
  std::atomic<int> socketsAfterStop{0};
  std::atomic<int> resolving{0};
  std::atomic<int> readWaits{0};
  CFaultSeam seam([&](CFaultSeam::Call call, CFaultSeam::Handle) {
    if (call == CFaultSeam::Call::kSocket && stopping) ++socketsAfterStop;
    if (call == CFaultSeam::Call::kTransferWait) ++readWaits;
    if (call == CFaultSeam::Call::kShutdown && stage == Stage::kUnwokenReceive)
      return link_platform::kStandIn;
    if (call == CFaultSeam::Call::kResolve && stage == Stage::kLookup) {
      // A lookup that takes until Stop waits for the worker.
      ++resolving;
      const Clock::time_point start = Clock::now();
      while (!recorder.StopWaiting() && SecondsSince(start) * 1000 < kHangBoundMs)
        std::this_thread::yield();
    }
    return 0;
  });
  // A wait that began once the link was online: the worker's receive.
  const auto ReceiveWaitWhileOnline = [&]() -> std::function<bool()> {
    return [&, waitsWhenOnline = -1]() mutable {
      if (waitsWhenOnline < 0 && recorder.Has("online")) waitsWhenOnline = readWaits;
      return waitsWhenOnline >= 0 && readWaits > waitsWhenOnline;
    };
  };
  struct Case {
    Stage stage;
    const char* name;
    std::string address;
    std::function<bool()> reached;
  };
  const std::string localPeer = "localhost:" + std::to_string(peer->Port());
  const Case cases[] = {
      {Stage::kLookup, "name lookup", silent.HostAddress(), [&] { return resolving > 0; }},
      {Stage::kConnect, "connect with no answer", silent.HostAddress(),
       [&] { return link.Socket().IsOpen(); }},
      {Stage::kLoginReply, "login reply", localPeer, [&] { return loginRead.load(); }},
      {Stage::kReceive, "receive", localPeer, ReceiveWaitWhileOnline()},
      {Stage::kUnwokenReceive, "receive the close does not wake", localPeer,
       ReceiveWaitWhileOnline()},
  };
  for (const Case& c : cases) {
    stage = c.stage;
    recorder.Clear();
    stopping = false;
    socketsAfterStop = 0;
    readWaits = 0;
    StartLink(c.address);
    ASSERT_TRUE(ServeUntil(queue, c.reached)) << c.name;
    stopping = true;
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(1, link.Stop()) << c.name;
    const double seconds = SecondsSince(start);
    std::printf("Stop during the %s returned after %.1f ms\n", c.name, seconds * 1000);
    EXPECT_LT(seconds, 5.0) << c.name;
    EXPECT_EQ(0, socketsAfterStop.load()) << c.name;
    ServeUntil(queue, [&] { return recorder.Has("gave up 1") || recorder.Has("offline"); });
    EXPECT_EQ("", CheckSession(recorder.Transcript(), Strings{})) << c.name;
  }
  EXPECT_EQ("", seam.HandleFaults());
}
