// Shared parts of the user-interface benchmarks. See ui_bench_support.h.
#include "ui_bench_support.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "framework/afxwin.h"
#include "link/message_catalogue.h"
#include "tests/support/frame_bytes.h"
#include "ui/pages/channel_page.h"
#include "ui/pages/channel_page_ids.h"

void ServeUntil(const std::function<bool()>& done) {
  MSG msg;
  while (!done()) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    // The host's loop frees the framework's temporary wrappers when idle.
    AfxDeleteTempMaps();
  }
}

double SecondsSince(BenchClock::time_point start) {
  return std::chrono::duration<double>(BenchClock::now() - start).count();
}

CPeerFeed::CPeerFeed()
    : m_peer([this](CPeerConnection& connection, int) {
        AcceptLogin(connection);
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
          m_changed.wait(lock, [this] { return m_closing || !m_pending.empty(); });
          if (m_pending.empty()) return;
          std::string bytes;
          bytes.swap(m_pending);
          lock.unlock();
          connection.Send(bytes);
          lock.lock();
        }
      }) {}

void CPeerFeed::Feed(std::string bytes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_pending += bytes;
  m_changed.notify_all();
}

void CPeerFeed::Close() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_closing = true;
  m_changed.notify_all();
}

double BareListInserts(HWND parent, DWORD extraStyle, const RECT& place,
                       const ListColumn (&columns)[kListColumnCount],
                       const std::vector<ListRow>& rows, bool held) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL |
                      LVS_SHOWSELALWAYS | extraStyle;
  HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", style, place.left, place.top,
                                place.right - place.left, place.bottom - place.top, parent, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  CListCtrl view;
  view.SubclassWindow(list);
  SetUpClientList(view, columns);
  const auto start = BenchClock::now();
  if (held) view.SendMessage(WM_SETREDRAW, FALSE);
  for (const ListRow& texts : rows) {
    const int row = view.InsertItem(view.GetItemCount(), texts[0].c_str());
    view.SetItemText(row, 1, const_cast<LPTSTR>(texts[1].c_str()));
    view.SetItemText(row, 2, const_cast<LPTSTR>(texts[2].c_str()));
  }
  if (held) {
    view.SendMessage(WM_SETREDRAW, TRUE);
    ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  ServeUntil([] { return true; });
  const double seconds = SecondsSince(start);
  view.UnsubclassWindow();
  ::DestroyWindow(list);
  return seconds;
}

double BareSends(HWND target, int count) {
  std::atomic<bool> done{false};
  const auto start = BenchClock::now();
  std::thread worker([&] {
    for (int i = 0; i < count; ++i) ::SendMessageA(target, WM_APP + 1, 0, 0);
    done = true;
  });
  ServeUntil([&] { return done.load(); });
  const double seconds = SecondsSince(start);
  worker.join();
  return seconds;
}

namespace {
BenchClock::time_point g_start;
BenchClock::time_point g_lastTick;
double g_longestGap = 0;
double g_longestEndedAt = 0;
int g_over100Ms = 0;
}  // namespace

void CALLBACK CResponsiveness::OnTick(HWND, UINT, UINT_PTR, DWORD) {
  const auto now = BenchClock::now();
  const double gap = std::chrono::duration<double>(now - g_lastTick).count();
  if (gap > 0.1) ++g_over100Ms;
  if (gap > g_longestGap) {
    g_longestGap = gap;
    g_longestEndedAt = std::chrono::duration<double>(now - g_start).count();
  }
  g_lastTick = now;
}

double CResponsiveness::LongestEndedAt() const { return g_longestEndedAt; }
int CResponsiveness::StallsOver100Ms() const { return g_over100Ms; }

void CResponsiveness::Start() {
  g_start = g_lastTick = BenchClock::now();
  g_longestGap = 0;
  g_longestEndedAt = 0;
  g_over100Ms = 0;
  m_timer = ::SetTimer(nullptr, 0, 10, &CResponsiveness::OnTick);
}

double CResponsiveness::Stop() {
  // The wait up to now counts too: a loop that never got to the timer.
  OnTick(nullptr, 0, 0, 0);
  ::KillTimer(nullptr, m_timer);
  return g_longestGap * 1000;
}

CFedPageHost::CFedPageHost(HWND frame, const std::vector<std::string>& channels)
    : m_host(CWnd::FromHandle(frame)) {
  m_host.Create(CPageHostDlg::IDD, CWnd::FromHandle(frame));
  m_host.SetWindowPos(nullptr, 0, 0, 880, 640, SWP_NOZORDER | SWP_NOACTIVATE);
  m_host.ShowWindow(SW_SHOW);
  for (const std::string& channel : channels)
    m_pages.push_back(m_host.OpenChannelPage(channel.c_str()));
  m_host.GetServerLink()->Start(m_host.GetLinkEventTarget(), m_feed.Address(), "bench");
}

CFedPageHost::~CFedPageHost() {
  // The peer closes first: a link whose peer neither reads nor closes
  // waits in Stop until the peer closes its end of the connection.
  m_feed.Close();
  m_host.DestroyWindow();
}

void CFedPageHost::FeedUntilHandled(std::string frames, CChannelPage* page) {
  char marker[32];
  std::snprintf(marker, sizeof marker, "done %d", ++m_markers);
  frames += FrameBytes(MsgTopic, std::string(page->ChannelName()) + " " + marker);
  m_feed.Feed(std::move(frames));
  ServeUntil([&] {
    char topic[512] = {};
    ::GetDlgItemTextA(page->m_hWnd, IDC_CHANNEL_TOPIC, topic, sizeof topic);
    return std::string(topic).find(marker) != std::string::npos;
  });
}
