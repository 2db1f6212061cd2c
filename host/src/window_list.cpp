// The window list: the count display and activation of the chosen child.
#include "window_list.h"

#include "host_ids.h"
#include "palaver/plugin.h"

BEGIN_MESSAGE_MAP(CWindowListCombo, CWnd)
  ON_MESSAGE(WM_WINDOWLIST_COUNT, OnWindowListCount)
END_MESSAGE_MAP()

LRESULT CWindowListCombo::OnWindowListCount(WPARAM, LPARAM lParam) {
  char text[32];
  unsigned count = LOWORD(lParam);
  wsprintfA(text, count == 1 ? "%u window" : "%u windows", count);
  ::SetDlgItemTextA(::GetParent(m_hWnd), IDC_WINDOW_COUNT, text);
  return 0;
}

CWindowListBar::CWindowListBar() : CDialog(IDD_WINDOW_LIST_BAR) {}

BOOL CWindowListBar::CreateBar(CWnd* pParent) {
  if (!Create(IDD_WINDOW_LIST_BAR, pParent)) return FALSE;
  ::SetWindowLongPtrA(m_hWnd, GWLP_ID, AFX_IDW_DIALOGBAR);
  return TRUE;
}

void CWindowListBar::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, PALAVER_IDC_WINDOW_LIST, m_combo);
}

BEGIN_MESSAGE_MAP(CWindowListBar, CDialog)
  ON_CBN_SELCHANGE(PALAVER_IDC_WINDOW_LIST, OnSelectWindow)
END_MESSAGE_MAP()

void CWindowListBar::OnSelectWindow() {
  int index = static_cast<int>(m_combo.SendMessage(CB_GETCURSEL));
  if (index == CB_ERR) return;
  auto* pChild = reinterpret_cast<CWnd*>(m_combo.SendMessage(CB_GETITEMDATA, index));
  CWnd* pMain = AfxGetThread() ? AfxGetThread()->m_pMainWnd : nullptr;
  if (!pMain || !pMain->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)) || !pChild) return;
  auto* pFrame = static_cast<CMDIFrameWnd*>(pMain);
  // Item data come from plug-ins: only a live child of our MDI client counts.
  for (HWND h = ::GetWindow(pFrame->m_hWndMDIClient, GW_CHILD); h;
       h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (CWnd::FromHandlePermanent(h) == pChild) {
      pFrame->MDIActivate(pChild);
      return;
    }
  }
}
