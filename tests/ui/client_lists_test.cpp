// The two list views as a user meets them, read back from the real controls
// of both pages: header texts, alignment and widths, white on black, whole-row
// selection and movable columns; and a row either list cannot take.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/manager_scene.h"
#include "tests/support/message_pump.h"
#include "tests/support/ui_test_support.h"
#include "ui/channel_page_ids.h"
#include "ui/manager_page_ids.h"

namespace {

// "title|format|width" per column, then the colours and extended styles.
std::vector<std::string> ListLook(HWND list) {
  std::vector<std::string> look;
  for (int i = 0;; ++i) {
    char title[64] = {};
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    if (!::SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column))) break;
    look.push_back(std::string(title) + "|" + std::to_string(column.fmt & LVCFMT_JUSTIFYMASK) +
                   "|" + std::to_string(column.cx));
  }
  char colours[80];
  std::snprintf(
      colours, sizeof colours, "back %06lx text %06lx text back %06lx ex %08lx",
      static_cast<unsigned long>(::SendMessageA(list, LVM_GETBKCOLOR, 0, 0)),
      static_cast<unsigned long>(::SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0)),
      static_cast<unsigned long>(::SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)),
      static_cast<unsigned long>(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)));
  look.push_back(colours);
  return look;
}

const char kLook[] = "back 000000 text ffffff text back 000000 ex 00000030";

TEST(ClientLists, BothListsShowTheirColumnsWhiteOnBlackWithWholeRowsAndMovableColumns) {
  CManagerScene manager(nullptr);
  EXPECT_EQ((std::vector<std::string>{"チャンネル|0|300", "ユーザ|2|50", "トピック|0|1000", kLook}),
            ListLook(manager.Item(IDC_MANAGER_CHANNELS)));
  CTestWindow window;
  CTestPageHost host;
  CChannelPage* page = OpenTestPage(&host, window.Handle(), "#a");
  ASSERT_NE(nullptr, page);
  EXPECT_EQ((std::vector<std::string>{"ユーザー|0|150", "共有|2|40", "回線|2|60", kLook}),
            ListLook(::GetDlgItem(page->m_hWnd, IDC_CHANNEL_USERS)));
}

// While it lives, the list refuses a row whose text is "full", as a list
// short of memory refuses an insert.
class CRowRefusal {
 public:
  explicit CRowRefusal(HWND list) : m_list(list) {
    ::SetPropA(list, kNext, reinterpret_cast<HANDLE>(::SetWindowLongPtrA(
                                list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Refuse))));
  }
  ~CRowRefusal() {
    ::SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(::RemovePropA(m_list, kNext)));
  }
  CRowRefusal(const CRowRefusal&) = delete;
  CRowRefusal& operator=(const CRowRefusal&) = delete;

 private:
  static constexpr const char* kNext = "VelmoTestNextProc";
  static LRESULT CALLBACK Refuse(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* item = reinterpret_cast<const LVITEMA*>(lParam);
    if (message == LVM_INSERTITEMA && (item->mask & LVIF_TEXT) && item->pszText != nullptr &&
        std::string(item->pszText) == "full")
      return -1;
    return ::CallWindowProcA(reinterpret_cast<WNDPROC>(::GetPropA(list, kNext)), list, message,
                             wParam, lParam);
  }
  HWND m_list;
};

// A row that cannot be inserted is skipped: the message still counts as
// handled, the list, whose redrawing is held off around each change, still
// paints, and the next row goes in with its own columns.
TEST(ClientLists, ARowEitherListCannotTakeIsSkippedAndTheListGoesOn) {
  CManagerScene manager(nullptr);
  CTestWindow window;
  CTestPageHost host;
  CChannelPage* page = OpenTestPage(&host, window.Handle(), "#a");
  ASSERT_NE(nullptr, page);
  const HWND channels = manager.Item(IDC_MANAGER_CHANNELS);
  const HWND users = ::GetDlgItem(page->m_hWnd, IDC_CHANNEL_USERS);
  CChangePaintWatch channelsPainted(channels, LVM_INSERTITEMA);
  CChangePaintWatch usersPainted(users, LVM_INSERTITEMA);
  CRowRefusal channelsRefuse(channels), usersRefuse(users);
  EXPECT_EQ(1, manager.Message(618, "full 3 refused"));
  EXPECT_EQ(1, DeliverMessage(page, 408, "#a full 1 8"));
  // Neither list is left with its redrawing off: both paint when uncovered.
  const int channelsPaints = channelsPainted.Paints(), usersPaints = usersPainted.Paints();
  ::InvalidateRect(channels, nullptr, TRUE);
  ::InvalidateRect(users, nullptr, TRUE);
  EXPECT_TRUE(PumpUntil(kHangBoundMs, [&] {
    return channelsPainted.Paints() > channelsPaints && usersPainted.Paints() > usersPaints;
  }));
  EXPECT_EQ(1, manager.Message(618, "#b 5 the topic"));
  EXPECT_EQ(1, DeliverMessage(page, 408, "#a bob 2 9"));
  EXPECT_EQ(std::vector<std::string>{"#b|5|the topic"}, manager.Rows());
  EXPECT_EQ(std::vector<std::string>{"bob|2|T1"}, ListRows(users));
  EXPECT_TRUE(PumpUntil(kHangBoundMs, [&] {
    return channelsPainted.PaintedAfterLastChange() && usersPainted.PaintedAfterLastChange();
  }));
}

}  // namespace
