// CMDIFrameWnd and CMDIChildWnd: the MDI client, children created from a
// runtime class, activation and the Window menu commands.
#include "afx_state.h"

IMPLEMENT_DYNAMIC(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNAMIC(CMDIChildWnd, CFrameWnd)

// ---- CMDIFrameWnd --------------------------------------------------------------

CMDIFrameWnd::CMDIFrameWnd() : m_hWndMDIClient(nullptr) {}

namespace {

// The popup that holds a Window command; the MDI client lists children there.
HMENU FindWindowMenu(HMENU hMenu) {
  if (!hMenu) return nullptr;
  for (int i = ::GetMenuItemCount(hMenu) - 1; i >= 0; --i) {
    HMENU hPopup = ::GetSubMenu(hMenu, i);
    if (!hPopup) continue;
    for (int j = 0; j < ::GetMenuItemCount(hPopup); ++j) {
      UINT id = ::GetMenuItemID(hPopup, j);
      if (id >= ID_WINDOW_NEW && id <= AFX_IDM_WINDOW_LAST) return hPopup;
    }
  }
  return nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_COMMAND_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
END_MESSAGE_MAP()

int CMDIFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
  CLIENTCREATESTRUCT ccs = {FindWindowMenu(::GetMenu(m_hWnd)), AFX_IDM_FIRST_MDICHILD};
  m_hWndMDIClient =
      ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL |
                            WS_HSCROLL | MDIS_ALLCHILDSTYLES,
                        0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(AFX_IDW_PANE_FIRST),
                        AfxGetInstanceHandle(), &ccs);
  return m_hWndMDIClient ? 0 : -1;
}

void CMDIFrameWnd::OnDestroy() {
  // The client hears WM_DESTROY before its children do, and Wine frees its
  // list of children then: a child destroyed after that reads freed memory
  // (and renames whatever windows the stale handles name). So the children
  // go first, each through the client, while its bookkeeping is intact.
  if (m_hWndMDIClient) {
    while (HWND child = ::GetWindow(m_hWndMDIClient, GW_CHILD)) {
      ::SendMessageA(m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
      if (::IsWindow(child)) break;  // not an MDI child: the client's own to destroy
    }
  }
  CFrameWnd::OnDestroy();
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

void CMDIFrameWnd::RecalcLayout(BOOL) {
  // Without bars the MDI client takes the whole client area.
  if (!m_hWndMDIClient) return;
  RECT rc;
  GetClientRect(&rc);
  ::MoveWindow(m_hWndMDIClient, 0, 0, rc.right, rc.bottom, TRUE);
}

void CMDIFrameWnd::OnMDIWindowCmd(UINT nID) {
  switch (nID) {
    case ID_WINDOW_CASCADE:
      MDICascade();
      break;
    case ID_WINDOW_TILE_HORZ:
      MDITile(MDITILE_HORIZONTAL);
      break;
    case ID_WINDOW_TILE_VERT:
      MDITile(MDITILE_VERTICAL);
      break;
    default:
      ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0);
      break;
  }
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWndMDIClient &&
      ::TranslateMDISysAccel(m_hWndMDIClient, pMsg)) {
    return TRUE;
  }
  return CFrameWnd::PreTranslateMessage(pMsg);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pMaximized) const {
  BOOL maximized = FALSE;
  HWND hChild = reinterpret_cast<HWND>(
      ::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  if (pMaximized) *pMaximized = maximized;
  CWnd* pWnd = FromHandlePermanent(hChild);
  return pWnd && pWnd->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)) ? static_cast<CMDIChildWnd*>(pWnd)
                                                             : nullptr;
}

void CMDIFrameWnd::MDIActivate(CWnd* pWnd) {
  ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0);
}

CMDIChildWnd* CMDIFrameWnd::CreateNewChild(CRuntimeClass* pClass, UINT resourceId, HMENU hMenu,
                                           HACCEL hAccel) {
  if (!pClass || !pClass->IsDerivedFrom(RUNTIME_CLASS(CMDIChildWnd))) return nullptr;
  auto* pFrame = static_cast<CMDIChildWnd*>(pClass->CreateObject());
  if (!pFrame) return nullptr;
  pFrame->SetHandles(hMenu, hAccel);
  if (!pFrame->LoadFrame(resourceId, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, this)) {
    // A window that came into existence deleted its object on the way out
    // (PostNcDestroy); only an object that never had one is deleted here.
    if (!AfxGetThreadState()->m_bLastCreateAttached) delete pFrame;
    return nullptr;
  }
  CString title;
  if (title.LoadString(resourceId)) {
    // The document name is the second line of the frame's string.
    LPCSTR text = title;
    LPCSTR start = text;
    while (*start && *start != '\n') ++start;
    if (*start) ++start;
    LPCSTR end = start;
    while (*end && *end != '\n') ++end;
    title = CString(start, static_cast<int>(end - start));
  }
  pFrame->SetTitle(title);
  pFrame->ActivateFrame();
  return pFrame;
}

// ---- CMDIChildWnd --------------------------------------------------------------

CMDIChildWnd::CMDIChildWnd() = default;

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.style |= WS_CHILD;
  return CFrameWnd::PreCreateWindow(cs);
}

void CMDIChildWnd::SetHandles(HMENU hMenu, HACCEL hAccel) {
  m_hMenuShared = hMenu;
  m_hAccelTable = hAccel;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
  HWND hClient = ::GetParent(m_hWnd);
  CWnd* pWnd = FromHandlePermanent(hClient ? ::GetParent(hClient) : nullptr);
  return pWnd && pWnd->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)) ? static_cast<CMDIFrameWnd*>(pWnd)
                                                             : nullptr;
}

BOOL CMDIChildWnd::LoadFrame(UINT resourceId, DWORD defaultStyle, CWnd* pParentWnd) {
  CWnd* pParent = pParentWnd;
  if (!pParent) {
    CWinThread* pThread = AfxGetThread();
    pParent = pThread ? pThread->m_pMainWnd : nullptr;
  }
  if (!pParent || !pParent->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) {
    AfxGetThreadState()->m_bLastCreateAttached = false;
    return FALSE;
  }
  CRect rect(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);
  return Create(GetIconWndClass(resourceId), m_strTitle, defaultStyle, rect,
                static_cast<CMDIFrameWnd*>(pParent));
}

BOOL CMDIChildWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                          CMDIFrameWnd* pParentWnd) {
  AFX_THREAD_STATE* ts = AfxGetThreadState();
  ts->m_bLastCreateAttached = false;
  if (!pParentWnd || !pParentWnd->m_hWndMDIClient) return FALSE;
  pParentWnd->RecalcLayout();
  CREATESTRUCTA cs = {};
  cs.lpszClass = className;
  cs.lpszName = windowName;
  cs.style = style | WS_CHILD;
  cs.x = rect.left;
  cs.y = rect.top;
  cs.cx = rect.right == 0 ? CW_USEDEFAULT : rect.right - rect.left;
  cs.cy = rect.bottom == 0 ? CW_USEDEFAULT : rect.bottom - rect.top;
  cs.hwndParent = pParentWnd->m_hWndMDIClient;
  cs.hInstance = AfxGetInstanceHandle();
  if (!PreCreateWindow(cs)) return FALSE;
  // Created hidden and shown afterwards, as the MDI client wants it, so the
  // child is placed on top and activated once it is complete.
  AfxHookWindowCreate(this, cs.lpszClass);
  HWND hWnd = ::CreateWindowExA(cs.dwExStyle | WS_EX_MDICHILD, cs.lpszClass, cs.lpszName,
                                cs.style & ~(WS_MAXIMIZE | WS_VISIBLE), cs.x, cs.y, cs.cx, cs.cy,
                                cs.hwndParent, nullptr, cs.hInstance, nullptr);
  ts->m_bLastCreateAttached = AfxUnhookWindowCreate();
  if (!hWnd) return FALSE;
  if (cs.style & WS_VISIBLE) {
    ::BringWindowToTop(hWnd);
    if (cs.style & WS_MINIMIZE) {
      ShowWindow(SW_SHOWMINIMIZED);
    } else if (cs.style & WS_MAXIMIZE) {
      ShowWindow(SW_SHOWMAXIMIZED);
    } else {
      ShowWindow(SW_SHOWNORMAL);
    }
    pParentWnd->MDIActivate(this);
    ::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
  }
  return TRUE;
}

void CMDIChildWnd::ActivateFrame(int cmdShow) {
  CMDIFrameWnd* pFrame = GetMDIFrame();
  if (!pFrame) return;
  if (cmdShow == -1) {
    // Keep the MDI client's state: maximized when the active child is.
    BOOL maximized = FALSE;
    pFrame->MDIGetActive(&maximized);
    DWORD style = GetStyle();
    cmdShow = maximized || (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
              : (style & WS_MINIMIZE)            ? SW_SHOWMINIMIZED
                                                 : SW_SHOW;
  }
  ShowWindow(cmdShow);
  ::BringWindowToTop(m_hWnd);
  pFrame->MDIActivate(this);
  ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

BOOL CMDIChildWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  // Through the MDI client, so it updates its list and the active child.
  ::SendMessageA(::GetParent(m_hWnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
  return TRUE;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
  ON_WM_MDIACTIVATE()
END_MESSAGE_MAP()

void CMDIChildWnd::OnMDIActivate(BOOL activate, CWnd*, CWnd*) {
  Default();
  // A child with its own menu shows it while active.
  CMDIFrameWnd* pFrame = GetMDIFrame();
  if (activate && m_hMenuShared && pFrame) {
    ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(m_hMenuShared),
                   0);
    ::DrawMenuBar(pFrame->m_hWnd);
  }
}
