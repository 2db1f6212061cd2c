// The manager frame: style, system menu, the page host inside it, and its
// entry in the host's window list. See orla_frame.h.
#include "plugin/orla_frame.h"

#include "plugin/host_window_list.h"
#include "plugin/orla_plugin.h"

IMPLEMENT_DYNCREATE(COrlaFrame, CMDIChildWnd)

namespace {

// Visible, maximized, with caption, system menu, sizing border and both
// boxes; FWS_ADDTOTITLE as the framework's frames have it.
const DWORD kFrameStyle = 0x51CF8000;

}  // namespace

BOOL COrlaFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!CMDIChildWnd::PreCreateWindow(cs)) return FALSE;
  cs.style = kFrameStyle;
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  cs.lpszClass = AfxRegisterWndClass(0);
  return TRUE;
}

BEGIN_MESSAGE_MAP(COrlaFrame, CMDIChildWnd)
  ON_WM_CREATE()
  ON_WM_SETFOCUS()
  ON_WM_DESTROY()
  ON_WM_MDIACTIVATE()
END_MESSAGE_MAP()

int COrlaFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CMDIChildWnd::OnCreate(lpCreateStruct) == -1) return -1;
  if (CMenu* menu = GetSystemMenu(FALSE)) {
    // Close goes, and with it the item that is then last (the separator
    // that stood before it).
    menu->RemoveMenu(SC_CLOSE, MF_BYCOMMAND);
    menu->RemoveMenu(menu->GetMenuItemCount() - 1, MF_BYPOSITION);
  }
  AFX_MODULE_STATE* state = AfxGetModuleState();
  const HINSTANCE previous = state->m_hCurrentResourceHandle;
  state->m_hCurrentResourceHandle = state->m_hCurrentInstanceHandle;
  const BOOL created = m_pageHost.Create(CPageHostDlg::IDD, this);
  if (created) m_pageHost.ShowWindow(SW_SHOW);
  state->m_hCurrentResourceHandle = previous;
  return created ? 0 : -1;
}

void COrlaFrame::OnSetFocus(CWnd* pOldWnd) {
  CMDIChildWnd::OnSetFocus(pOldWnd);
  if (m_pageHost.m_hWnd != nullptr) m_pageHost.SetFocus();
}

void COrlaFrame::RecalcLayout(BOOL notify) {
  if (m_pageHost.m_hWnd != nullptr) {
    CRect client;
    GetClientRect(&client);
    m_pageHost.SetWindowPos(nullptr, 0, 0, client.right, client.bottom, SWP_NOMOVE | SWP_NOZORDER);
  }
  CMDIChildWnd::RecalcLayout(notify);
}

void COrlaFrame::OnDestroy() {
  CMDIChildWnd::OnDestroy();
  // The start hook loaded the small icon for this frame alone (unshared), so
  // it goes with the frame; otherwise every frame would leave one behind.
  if (HICON icon = SetIcon(nullptr, FALSE)) ::DestroyIcon(icon);
  // From now on the module's entry points find no frame, not a dying one.
  ThePlugin().ForgetFrame(this);
  CWnd* list = FindHostWindowList();
  if (list == nullptr) return;
  const int countBefore = static_cast<int>(list->SendMessage(CB_GETCOUNT));
  const int item = FindWindowListItem(list, this);
  if (item < 0) return;
  list->SendMessage(CB_DELETESTRING, item);
  SendWindowListCount(list);
  if (countBefore == 1) list->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(-1));
}

void COrlaFrame::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd) {
  CMDIChildWnd::OnMDIActivate(bActivate, pActivateWnd, pDeactivateWnd);
  CWnd* list = FindHostWindowList();
  if (list == nullptr) return;
  // Activated or deactivated alike, the entry shown is this frame's.
  const int item = FindWindowListItem(list, this);
  if (item >= 0) list->SendMessage(CB_SETCURSEL, item);
}
