// What the user-interface benchmarks share: the host's start-up, a page host in a plain
// top-level window, a scripted loopback peer fed from the benchmark's
// thread, the user-interface thread's message loop, and the bare floors the
// real paths are set against.
//
// Threads: everything on the benchmark's (user-interface) thread, except
// CPeerFeed's connection script, which runs on the peer's thread.
#pragma once

// Before windows.h, which would otherwise bring the old socket header.
#include <winsock2.h>
//
#include <windows.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "bench/ui/bench_median.h"
#include "tests/support/peer.h"
#include "tests/support/plugin_environment.h"
#include "ui/host/page_host_dlg.h"
#include "ui/controls/client_lists.h"

using BenchClock = std::chrono::steady_clock;

// Serves this thread's messages until done() holds, waiting for messages
// (never sleeping) in between and freeing the framework's temporary wrappers
// when the queue is empty, as the host's loop does.
void ServeUntil(const std::function<bool()>& done);
double SecondsSince(BenchClock::time_point start);

// A loopback peer that accepts one login and then sends whatever Feed hands
// it, in one piece each time, until Close.
class CPeerFeed {
 public:
  CPeerFeed();
  ~CPeerFeed() { Close(); }
  std::string Address() const { return m_peer.Address(); }
  void Feed(std::string bytes);
  void Close();

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::string m_pending;
  bool m_closing = false;
  CScriptedPeer m_peer;
};

// A page host (880 x 640) in frame with one channel page per name, its link
// logged in to a CPeerFeed.
class CFedPageHost {
 public:
  CFedPageHost(HWND frame, const std::vector<std::string>& channels);
  ~CFedPageHost();
  CPageHostDlg& Host() { return m_host; }
  CChannelPage* Page(int i) { return m_pages[i]; }
  // Feeds frames and then a topic for page, and serves the thread's messages
  // until the topic shows: every frame before it has been handled.
  void FeedUntilHandled(std::string frames, CChannelPage* page);

 private:
  CPeerFeed m_feed;
  CPageHostDlg m_host;
  std::vector<CChannelPage*> m_pages;
  int m_markers = 0;
};

// Seconds for inserting rows (three column texts each) into a fresh list view
// of the page's kind (report view, the columns and look of SetUpClientList,
// plus extraStyle, e.g. LVS_SORTASCENDING) at place; with held, its redrawing
// is off during the inserts and it is redrawn once after them, as the page
// does when a burst stops. Timed until the queue is served.
using ListRow = std::array<std::string, 3>;
double BareListInserts(HWND parent, DWORD extraStyle, const RECT& place,
                       const ListColumn (&columns)[kListColumnCount],
                       const std::vector<ListRow>& rows, bool held);

// Seconds for count bare cross-thread SendMessage calls from a new thread to
// target, a window of this thread whose procedure does nothing with them.
double BareSends(HWND target, int count);

// The longest wait between two ticks of a 10 ms timer of this thread, from
// Start to Stop: how long the window could not answer its user.
class CResponsiveness {
 public:
  void Start();
  // Milliseconds.
  double Stop();
  // Seconds from Start to the end of the longest wait.
  double LongestEndedAt() const;
  // How many waits between Start and Stop were longer than 100 ms.
  int StallsOver100Ms() const;

 private:
  static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
  UINT_PTR m_timer = 0;
};
