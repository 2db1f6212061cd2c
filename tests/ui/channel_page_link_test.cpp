// A channel page fed by the real link: a scripted peer's frames travel
// through the link's worker thread and its synchronous event delivery into
// the page while this thread pumps, as in the product.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/log_sink.h"
#include "tests/support/peer.h"
#include "tests/support/ui_test_support.h"
#include "ui/seams/console_log_sink.h"

namespace {

// A channel page of "#c" on a test window; Start connects its link to the
// peer (watches on its controls go on before).
struct CLinkedPage {
  CTestWindow window;
  CTestPageHost host;
  CChannelPage* page = OpenTestPage(&host, window.Handle(), "#c");
  CServerLink link;
  std::unique_ptr<CWindowLinkTarget> target;

  ~CLinkedPage() {
    link.Stop();
    window.Destroy();
  }
  HWND Item(int id) const { return ::GetDlgItem(page->m_hWnd, id); }
  int Start(const CScriptedPeer& peer) {
    target = std::make_unique<CWindowLinkTarget>(page->m_hWnd);
    return link.Start(target.get(), peer.Address(), "velmo");
  }
};

TEST(ChannelPageOnTheLink, FramesFromThePeerReachThePageInOrder) {
  std::atomic<bool> sent{false};
  CScriptedPeer peer([&](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    connection.Send(FrameBytes(410, "#c 今日の話題"));
    connection.Send(FrameBytes(408, "#c alice 12 8"));
    connection.Send(FrameBytes(406, "#c bob 3 4"));
    connection.Send(FrameBytes(403, "#c alice こんにちは"));
    connection.Send(FrameBytes(403, "#other alice elsewhere"));
    connection.Send(FrameBytes(824, "#c bob \"waves\""));
    sent = true;
    connection.WaitForClose();
  });
  CTestWindow window;
  CTestPageHost host;
  CChannelPage* page = OpenTestPage(&host, window.Handle(), "#c");
  ASSERT_NE(nullptr, page);
  // Lines no page takes go to the log sink, here a console of its own.
  CConsoleView log(kServerConsoleStyle);
  log.SubclassWindow(CreateRichEdit(window.Handle(), 2000, 0, 0, 300, 100));
  log.SetUp();
  CConsoleLogSink sink;
  sink.Attach(log);
  CServerLink link;
  link.SetLogSink(&sink);
  CWindowLinkTarget target(page->m_hWnd);
  ASSERT_EQ(1, link.Start(&target, peer.Address(), "velmo"));

  const HWND console = page->GetDlgItem(IDC_CHANNEL_CONSOLE)->m_hWnd;
  // The peer's last frame ends the page's fourth line (a count of five: the
  // empty line after it counts too).
  EXPECT_TRUE(PumpUntil(kHangBoundMs, [&] { return ConsoleLineCount(console) >= 5; }));
  EXPECT_EQ("", CompareConsole(console, {{"Topic: 今日の話題\r\n", RGB(0, 0, 255)},
                                         {"bob (56K 3 files) has entered\r\n", RGB(128, 255, 0)},
                                         {"<alice> ", RGB(255, 255, 0)},
                                         {"こんにちは\r\n", RGB(255, 255, 255)},
                                         {"bob ", RGB(255, 0, 255)},
                                         {"waves\r\n", RGB(255, 0, 255)}}));
  EXPECT_EQ((std::vector<std::string>{"alice|12|DSL", "bob|3|56K"}),
            ListRows(page->GetDlgItem(IDC_CHANNEL_USERS)->m_hWnd));
  EXPECT_NE(std::string::npos, WindowText(log.m_hWnd).find("#other alice elsewhere"))
      << WindowText(log.m_hWnd);
  EXPECT_EQ(1, link.Stop());
  window.Destroy();
}

TEST(ChannelPageOnTheLink, ABurstOfUsersShowsWholeInOrderAndIsPaintedWhenItStops) {
  const int kUsers = 300;
  struct BurstCase {
    unsigned type;
    bool consoleLines;
  };
  for (const BurstCase& burst : {BurstCase{406, true}, BurstCase{408, false}}) {
    SCOPED_TRACE(burst.type);
    // Arrival order differs from the list's sorted order.
    std::vector<std::string> nicks;
    for (int i = 0; i < kUsers; ++i) {
      char nick[16];
      std::snprintf(nick, sizeof nick, "u%03d", (i * 7) % kUsers);
      nicks.push_back(nick);
    }
    CScriptedPeer peer([&](CPeerConnection& connection, int) {
      AcceptLogin(connection);
      std::string frames;
      for (const std::string& nick : nicks) frames += FrameBytes(burst.type, "#c " + nick + " 3 4");
      connection.Send(frames);
      connection.WaitForClose();
    });
    CLinkedPage linked;
    ASSERT_NE(nullptr, linked.page);
    const HWND list = linked.Item(IDC_CHANNEL_USERS);
    const HWND console = linked.Item(IDC_CHANNEL_CONSOLE);
    CChangePaintWatch listWatch(list, LVM_INSERTITEMA);
    CChangePaintWatch consoleWatch(console, EM_REPLACESEL);
    ASSERT_EQ(1, linked.Start(peer));

    std::vector<std::string> rows, lines;
    for (const std::string& nick : nicks) {
      rows.push_back(nick + "|3|56K");
      lines.push_back(nick + " (56K 3 files) has entered\r\n");
    }
    std::sort(rows.begin(), rows.end());
    std::string text;
    if (burst.consoleLines)
      for (const std::string& line : lines) text += line;
    // Counted, not read back: the wait costs the same whatever the rows. The
    // burst is over once every row and line is in and both were painted.
    ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] {
      return ListRowCount(list) == static_cast<int>(nicks.size()) &&
             ::GetWindowTextLengthA(console) == static_cast<int>(text.size()) &&
             listWatch.PaintedAfterLastChange() &&
             (!burst.consoleLines || consoleWatch.PaintedAfterLastChange());
    }));
    EXPECT_EQ(rows, ListRows(list));
    EXPECT_EQ(text, WindowText(console));
    EXPECT_EQ(1, linked.link.Stop());
  }
}

std::atomic<int> g_ticks{0};
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

// The peer streams chat lines without end, so the worker always has the
// next event for the page: this thread must still reach its timers, its
// posted messages and painting while the stream flows.
TEST(ChannelPageOnTheLink, AnEndlessStreamLeavesTheThreadItsTimersMessagesAndPainting) {
  std::atomic<bool> enough{false}, streamEnded{false};
  CScriptedPeer peer([&](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    std::string lines;
    for (int i = 0; i < 50; ++i) lines += FrameBytes(403, "#c alice one more line");
    const auto start = std::chrono::steady_clock::now();
    while (!enough &&
           std::chrono::steady_clock::now() - start < std::chrono::milliseconds(kHangBoundMs) &&
           connection.Send(lines)) {
    }
    streamEnded = true;
    connection.WaitForClose();
  });
  CLinkedPage linked;
  ASSERT_NE(nullptr, linked.page);
  const HWND input = linked.Item(IDC_CHANNEL_INPUT);
  CChangePaintWatch consoleWatch(linked.Item(IDC_CHANNEL_CONSOLE), EM_REPLACESEL);
  ASSERT_EQ(1, linked.Start(peer));
  ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] { return consoleWatch.Changed(); }));

  g_ticks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &CountTick);
  ::PostMessageA(input, WM_CHAR, 'x', 0);
  const int paints = consoleWatch.Paints();
  const bool reached = PumpUntil(kHangBoundMs, [&] {
    return g_ticks >= 2 && WindowText(input) == "x" && consoleWatch.Paints() > paints;
  });
  const bool whileStreaming = !streamEnded;
  enough = true;
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(reached);
  EXPECT_TRUE(whileStreaming) << "reached only once the stream had stopped";
  EXPECT_EQ(1, linked.link.Stop());
}

}  // namespace
