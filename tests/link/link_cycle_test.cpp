// Start and Stop at random moments, over and over: before the connect, in
// the middle of the login, online with frames in flight, right after a
// SendFrame from the user-interface thread. Each cycle's events must be
// well-formed and Stop must return; under ThreadSanitizer (the native-tsan
// preset) no report may appear.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "link/frame.h"
#include "link_fixture.h"
#include "session_check.h"

namespace {

class LinkCycles : public LinkFixture {
 protected:
  ~LinkCycles() override { EndPeer(); }
};

// The cycles to run: VELMO_LINK_CYCLES, or 1000.
int Cycles() {
  const char* text = std::getenv("VELMO_LINK_CYCLES");
  return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : 1000;
}

}  // namespace

TEST_F(LinkCycles, StartAndStopAtRandomMomentsKeepEverySessionWellFormed) {
  // The peer answers each login after a short random pause, then sends
  // numbered frames until the client goes.
  Serve([](CPeerConnection& connection, int index) {
    std::minstd_rand random(static_cast<unsigned>(index));
    unsigned type = 0;
    std::string login;
    if (!connection.ReadFrame(&type, &login)) return;
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
    if (!connection.Send(FrameBytes(3, "ok"))) return;
    for (unsigned n = 0; connection.Send(FrameBytes(403, "#c n " + std::to_string(n))); ++n) {
      if (n % 16 == 15) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  const unsigned seed = 20261207;
  std::mt19937 random(seed);
  const int cycles = Cycles();
  int online = 0;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    recorder.Clear();
    StartLink(peer->Address());
    const int moment = static_cast<int>(random() % 4);
    const auto pause = std::chrono::microseconds(random() % 3000);
    // 0: at once; 1: somewhere in the connect or the login; 2: online with
    // frames in flight; 3: the same, right after a SendFrame.
    if (moment >= 2)
      ServeUntil(queue, [&] { return link.IsOnline() != 0 || recorder.Has("gave up 1"); });
    if (moment >= 1) {
      const auto until = std::chrono::steady_clock::now() + pause;
      while (std::chrono::steady_clock::now() < until) queue.ServeOne(std::chrono::milliseconds(1));
    }
    if (moment == 3) SendFrame(&link, 5, "%s", "cycle");
    link.Stop();
    ServeUntil(queue, [&] { return recorder.Has("offline") || recorder.Has("gave up 1"); });
    const std::string fault =
        CheckSession(recorder.Transcript(), [](std::size_t index, const std::string& entry) {
          return entry == "message 403 " + std::to_string(5 + std::to_string(index).size()) +
                              " #c n " + std::to_string(index);
        });
    ASSERT_EQ("", fault) << "cycle " << cycle << " moment " << moment << " seed " << seed;
    online += recorder.Has("online") ? 1 : 0;
  }
  std::printf("start/stop cycles: %d (%d reached online)\n", cycles, online);
}
