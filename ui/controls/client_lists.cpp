// The client's list views: columns and look. See client_lists.h.
#include "ui/controls/client_lists.h"

#include "ui/core/colours.h"

const ListColumn kChannelListColumns[kListColumnCount] = {{"チャンネル", LVCFMT_LEFT, 300},
                                                          {"ユーザ", LVCFMT_CENTER, 50},
                                                          {"トピック", LVCFMT_LEFT, 1000}};
const ListColumn kUserListColumns[kListColumnCount] = {
    {"ユーザー", LVCFMT_LEFT, 150}, {"共有", LVCFMT_CENTER, 40}, {"回線", LVCFMT_CENTER, 60}};

void SetUpClientList(CListCtrl& list, const ListColumn (&columns)[kListColumnCount]) {
  list.SetBkColor(kBlack);
  list.SetTextColor(kWhite);
  list.SetTextBkColor(kBlack);
  for (int i = 0; i < kListColumnCount; ++i)
    list.InsertColumn(i, columns[i].title, columns[i].format, columns[i].width);
  // Replaces every extended style (the mask is 0); the list wrapper has no
  // operation for them.
  list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
}
