// Eleven channel pages at their cap fed by the real link, the lines spread
// over all of them (in turn, and in bursts of ten): what each page shows, and
// that the shown page and a hidden one once shown are painted with their
// last line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "link/message_catalogue.h"
#include "tests/support/frame_bytes.h"
#include "tests/support/peer.h"
#include "tests/support/sent_message_log.h"
#include "tests/support/test_hosts.h"
#include "tests/support/ui_test_support.h"
#include "ui/host/page_host_dlg.h"
// The find flags, after windows.h.
#include <commdlg.h>

namespace {

const int kPages = CPageHostDlg::kMaxChannelPages;
// Each line wraps to a dozen display lines or more of the narrow console, so
// this many fill each console past its 1000-line cap.
const int kLinesPerPage = 120;

std::string Channel(int page) {
  char name[8];
  std::snprintf(name, sizeof name, "#p%02d", page + 1);
  return name;
}

// What the page shows of its line number: the nick piece and the text piece.
std::string ShownLine(int page, int number) {
  std::string line = "<u" + std::to_string(number % 7) + "> page " + std::to_string(page + 1) +
                     " line " + std::to_string(number) + ":";
  while (line.size() < 360) line += " words" + std::to_string(number % 10);
  return line + "\r\n";
}

std::string Frame(int page, int number) {
  std::string shown = ShownLine(page, number);
  const std::size_t nickEnd = shown.find("> ");
  const std::string nick = shown.substr(1, nickEnd - 1);
  const std::string text = shown.substr(nickEnd + 2, shown.size() - nickEnd - 4);
  return FrameBytes(MsgChannelText, Channel(page) + " " + nick + " " + text);
}

// "" when the console holds exactly the last whole lines of lines, in order,
// and nothing else; else what differs.
std::string CheckHoldsTail(HWND console, const std::vector<std::string>& lines) {
  const std::string text = WindowText(console);
  std::string tail;
  for (auto line = lines.rbegin(); line != lines.rend() && tail.size() < text.size(); ++line)
    tail.insert(0, *line);
  if (text.empty()) return "empty console";
  if (tail == text) return "";
  return "console does not end in its page's last whole lines: it begins \"" + text.substr(0, 80) +
         "\" and ends \"" + text.substr(text.size() > 80 ? text.size() - 80 : 0) + "\"";
}

// Pixels of colour in the console's client area between top and top + rows.
int PixelsOf(HWND console, COLORREF colour, int top, int rows) {
  RECT client;
  ::GetClientRect(console, &client);
  HDC dc = ::GetDC(console);
  int count = 0;
  for (int y = std::max(0, top); y < std::min<int>(client.bottom, top + rows); ++y)
    for (int x = 0; x < client.right; x += 2)
      if (::GetPixel(dc, x, y) == colour) ++count;
  ::ReleaseDC(console, dc);
  return count;
}

TEST(ManyPages, LinesSpreadOverElevenFullPagesShowOnTheirOwnPagesInOrder) {
  // In turn for the first half, in bursts of ten for the rest.
  std::vector<std::vector<std::string>> expected(kPages);
  std::string frames;
  int numbers[kPages] = {};
  for (int i = 0; i < kPages * kLinesPerPage; ++i) {
    const int page = i < kPages * kLinesPerPage / 2 ? i % kPages : (i / 10) % kPages;
    frames += Frame(page, numbers[page]);
    expected[page].push_back(ShownLine(page, numbers[page]++));
  }
  // Last, a row for the first page's user list: once it is in, so is every
  // line before it, and the wait only counts rows.
  frames += FrameBytes(MsgUserListEntry, Channel(0) + " last 0 8");
  CScriptedPeer peer([&](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    connection.Send(frames);
    connection.WaitForClose();
  });
  CTestWindow window(560, 420);
  CPageHostDlg host;
  ASSERT_TRUE(host.Create(CPageHostDlg::IDD, CWnd::FromHandle(window.Handle())));
  host.SetWindowPos(nullptr, 0, 0, 540, 400, SWP_NOZORDER);
  host.ShowWindow(SW_SHOW);
  std::vector<CChannelPage*> pages;
  for (int page = 0; page < kPages; ++page) {
    pages.push_back(host.OpenChannelPage(Channel(page).c_str()));
    ASSERT_NE(nullptr, pages.back());
  }
  std::vector<HWND> consoles;
  for (CChannelPage* page : pages)
    consoles.push_back(::GetDlgItem(page->m_hWnd, IDC_CHANNEL_CONSOLE));
  // The last page opened is the one shown.
  CChangePaintWatch shownWatch(consoles.back(), EM_REPLACESEL);
  CChangePaintWatch hiddenWatch(consoles[3], EM_REPLACESEL);

  // A hidden page's console is never held: it changes with its redrawing on.
  CSentMessageLog redraws(WM_SETREDRAW);
  ASSERT_EQ(1, host.GetServerLink()->Start(host.GetLinkEventTarget(), peer.Address(), "velmo"));
  const HWND firstList = ::GetDlgItem(pages[0]->m_hWnd, IDC_CHANNEL_USERS);
  ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] {
    return ListRowCount(firstList) == 1 && shownWatch.PaintedAfterLastChange();
  })) << "every line arrives and the shown page is painted after its last";
  redraws.Stop();
  for (int page = 0; page + 1 < kPages; ++page)
    EXPECT_EQ(0, redraws.CountFor(consoles[page])) << "hidden " << Channel(page);
  EXPECT_GT(redraws.CountFor(consoles.back()), 0) << "the shown console is paced";

  for (int page = 0; page < kPages; ++page) {
    SCOPED_TRACE(Channel(page));
    EXPECT_EQ("", CheckHoldsTail(consoles[page], expected[page]));
    EXPECT_EQ(std::string::npos, WindowText(consoles[page]).find(expected[page].front()))
        << "the page's first line trimmed";
    EXPECT_LT(ConsoleLineCount(consoles[page]), kChatConsoleStyle.lineCap);
  }

  // A hidden page, once shown, shows its last line: painted after it, and
  // its white text on the rows where the control puts that line.
  ASSERT_TRUE(hiddenWatch.Changed());
  host.OpenChannelPage(Channel(3).c_str());
  EXPECT_TRUE(::IsWindowVisible(consoles[3]));
  EXPECT_TRUE(PumpUntil(kHangBoundMs, [&] { return hiddenWatch.PaintedAfterLastChange(); }))
      << "hidden page painted once shown";
  // The last character of the last line (before its "\r\n").
  const std::string& last = expected[3].back();
  const std::string head = last.substr(0, last.find(':') + 1);
  FINDTEXTA find = {{0, -1}, head.c_str()};
  const LRESULT lastStart = ::SendMessageA(consoles[3], EM_FINDTEXT, FR_DOWN | FR_MATCHCASE,
                                           reinterpret_cast<LPARAM>(&find));
  ASSERT_GE(lastStart, 0);
  POINTL where = {};
  ::SendMessageA(consoles[3], EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&where),
                 lastStart + static_cast<LPARAM>(last.size()) - 3);
  RECT client;
  ::GetClientRect(consoles[3], &client);
  EXPECT_GE(where.y, 0);
  EXPECT_LT(where.y, client.bottom) << "the end of the last line is in view";
  EXPECT_GT(PixelsOf(consoles[3], RGB(255, 255, 255), where.y, 16), 0)
      << "the last line's text is on the screen";

  EXPECT_EQ(1, host.GetServerLink()->Stop());
  window.Destroy();
}

}  // namespace
