// List view operations that need a structure filled in.
#include "afx_state.h"

int CListCtrl::InsertColumn(int column, LPCSTR heading, int format, int width, int subItem) {
  LVCOLUMNA col = {};
  col.mask = LVCF_FMT | LVCF_TEXT;
  col.fmt = format;
  col.pszText = const_cast<LPSTR>(heading);
  if (width != -1) {
    col.mask |= LVCF_WIDTH;
    col.cx = width;
  }
  if (subItem != -1) {
    col.mask |= LVCF_SUBITEM;
    col.iSubItem = subItem;
  }
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int item, LPCSTR text) {
  LVITEMA row = {};
  row.mask = LVIF_TEXT;
  row.iItem = item;
  row.pszText = const_cast<LPSTR>(text);
  return InsertItem(&row);
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPTSTR text) {
  LVITEMA row = {};
  row.iSubItem = subItem;
  row.pszText = const_cast<LPSTR>(text);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&row)));
}

int CListCtrl::GetItemText(int item, int subItem, LPSTR buffer, int length) const {
  if (!buffer || length <= 0) return 0;
  // The control leaves a truncated text unterminated: terminate it here.
  buffer[0] = '\0';
  LVITEMA row = {};
  row.iSubItem = subItem;
  row.pszText = buffer;
  row.cchTextMax = length;
  int copied =
      static_cast<int>(SendMessage(LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&row)));
  buffer[length - 1] = '\0';
  return copied < length ? copied : length - 1;
}

CString CListCtrl::GetItemText(int item, int subItem) const {
  char buffer[1024];
  int length = GetItemText(item, subItem, buffer, sizeof buffer);
  return CString(buffer, length);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  LVITEMA row = {};
  row.state = state;
  row.stateMask = mask;
  return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&row)));
}
