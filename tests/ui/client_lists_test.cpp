// The two list views as a user meets them, read back from the real controls
// of both pages: header texts, alignment and widths, white on black, whole-row
// selection and movable columns, and nothing more.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/manager_scene.h"
#include "tests/support/ui_test_support.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"

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

}  // namespace
