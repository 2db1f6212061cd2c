// CFrameWnd: creation from resources, layout on resize, accelerators, and the
// frame object's deletion after its window is destroyed.
#include "afx_state.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

CFrameWnd::CFrameWnd() : m_hAccelTable(nullptr), m_hMenuShared(nullptr) {}

LPCSTR CFrameWnd::GetIconWndClass(UINT resourceId) {
  LPCSTR name = MAKEINTRESOURCEA(resourceId);
  HINSTANCE hInst = AfxFindResourceHandle(name, reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
  HICON hIcon = ::LoadIconA(hInst, name);
  if (!hIcon) return nullptr;
  return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                             reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), hIcon);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) {
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  // Frames get the sunken client edge of the framework's look.
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD defaultStyle, CWnd* pParentWnd) {
  LPCSTR name = MAKEINTRESOURCEA(resourceId);
  CString title;
  if (title.LoadString(resourceId)) {
    // Only the first line names the program.
    LPCSTR text = title;
    int length = 0;
    while (text[length] && text[length] != '\n') ++length;
    title = CString(text, length);
  }
  m_strTitle = title;
  HINSTANCE hMenuInst = AfxFindResourceHandle(name, reinterpret_cast<LPCSTR>(RT_MENU));
  HMENU hMenu = ::LoadMenuA(hMenuInst, name);
  HINSTANCE hAccelInst = AfxFindResourceHandle(name, reinterpret_cast<LPCSTR>(RT_ACCELERATOR));
  m_hAccelTable = ::LoadAcceleratorsA(hAccelInst, name);
  if (!CreateEx(0, GetIconWndClass(resourceId), m_strTitle, defaultStyle, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu)) {
    if (hMenu) ::DestroyMenu(hMenu);
    return FALSE;
  }
  return TRUE;
}

void CFrameWnd::RecalcLayout(BOOL) {}

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_SIZE()
END_MESSAGE_MAP()

void CFrameWnd::OnSize(UINT type, int, int) {
  Default();
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable) {
    return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg);
  }
  return FALSE;
}

void CFrameWnd::PostNcDestroy() { delete this; }
