// The client's two list views, the manager page's channel list and the
// channel page's user list: their columns and their common look (white on
// black, whole-row selection, movable columns). The benchmarks' bare lists
// are set up by the same call, so their floor does the page's work.
#pragma once

#include "framework/afxwin.h"

struct ListColumn {
  const char* title;
  int format;  // LVCFMT_LEFT or LVCFMT_CENTER
  int width;
};

constexpr int kListColumnCount = 3;
extern const ListColumn kChannelListColumns[kListColumnCount];
extern const ListColumn kUserListColumns[kListColumnCount];

void SetUpClientList(CListCtrl& list, const ListColumn (&columns)[kListColumnCount]);
