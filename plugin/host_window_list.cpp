// See host_window_list.h.
#include "plugin/host_window_list.h"

#include "palaver/plugin.h"

CWnd* FindHostWindowList() {
  CWinThread* thread = AfxGetThread();
  CWnd* main = thread != nullptr ? thread->m_pMainWnd : nullptr;
  return main != nullptr ? CWnd::FromHandle(FindWindowListCombo(main->m_hWnd)) : nullptr;
}

int FindWindowListItem(CWnd* list, const CWnd* frame) {
  const int count = static_cast<int>(list->SendMessage(CB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    if (list->SendMessage(CB_GETITEMDATA, i) == reinterpret_cast<LRESULT>(frame)) return i;
  }
  return -1;
}

void SendWindowListCount(CWnd* list) {
  const LRESULT count = list->SendMessage(CB_GETCOUNT);
  list->SendMessage(WM_WINDOWLIST_COUNT, 0, count & 0xFFFF);
}
