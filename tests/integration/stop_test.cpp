// Stopping a link while the server floods its channel: another client, with
// a user-interface thread of its own, sends chat lines without pause; Stop
// on the receiving link must return and its offline event must arrive.
#include <atomic>
#include <string>
#include <thread>

#include "integration_fixture.h"
#include "link/frame.h"
#include "link/message_catalogue.h"

namespace {

// A bound on the flood, which normally ends when the reader has stopped.
const int kFloodLines = 50000;

class StopUnderLoad : public IntegrationTest {
 protected:
  void SetUp() override {
    config.motd = {"welcome"};
    // The server keeps a slow reader rather than dropping it: the flood then
    // waits in its socket when Stop comes.
    config.outputLimit = 64 * 1024 * 1024;
    StartServer();
  }
};

TEST_F(StopUnderLoad, StopWhileTheChannelIsFloodedReturnsAndGoesOffline) {
  ChatUser& reader = Online("reader");
  Join(reader, "flood");

  std::atomic<int> sent{0};
  std::atomic<bool> enough{false};
  std::atomic<bool> joined{false};
  // The flooding client runs on its own thread, which is its user-interface
  // thread: it makes, serves and stops its own link.
  std::thread flooder([&] {
    ChatUser talker;
    talker.nickname = "talker";
    talker.link.Start(&talker.queue, Address(), "talker");
    talker.ServeUntil([&] { return talker.link.IsOnline() == 1; });
    SendFrame(&talker.link, MsgJoin, "%s", "flood");
    joined = talker.ServeUntil([&] { return talker.SeenCount(MsgJoined) > 0; });
    const std::string text(120, 'x');
    for (int i = 0; i < kFloodLines && !enough; ++i) {
      if (SendFrame(&talker.link, MsgChat, "%s %d %s", "flood", i, text.c_str()) != 1) break;
      ++sent;
      // Its own echoes are taken in passing, so the server keeps it.
      talker.queue.ServePendingDeliveries();
    }
    // Keeps talking until the reader's Stop has been seen to return.
    while (!enough) talker.queue.ServeOne(std::chrono::milliseconds(5));
    talker.link.Stop();
  });

  // The reader reads part of the flood, then stops with much of it unread.
  ServeUntil([&] { return reader.SeenCount(MsgChannelText) >= 200 && sent >= 2000; });
  EXPECT_EQ(1, reader.link.Stop());
  enough = true;
  flooder.join();

  EXPECT_TRUE(joined);
  EXPECT_GE(reader.SeenCount(MsgChannelText), 200u);
  EXPECT_LT(static_cast<int>(reader.SeenCount(MsgChannelText)), sent.load());
  EXPECT_EQ("offline", reader.recorder.Transcript().back());
  EXPECT_EQ(0, reader.link.IsRunning());
  EXPECT_EQ(0, reader.link.IsOnline());
}

}  // namespace
