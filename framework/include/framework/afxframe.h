// Frame windows: CFrameWnd (title, layout, accelerators, deletes itself after
// its window is gone), CMDIFrameWnd (the MDI client, creating children from a
// runtime class, the Window menu commands) and CMDIChildWnd. UI thread only.
#pragma once

#include "framework/afxwnd.h"

class AFX_API CFrameWnd : public CWnd {
  DECLARE_DYNAMIC(CFrameWnd)

 public:
  // The title from which the caption is built.
  CString m_strTitle;

  CFrameWnd();
  void SetTitle(LPCSTR title) { m_strTitle = title; }

  // Creates the window with the menu, accelerators, icon and title found
  // under resourceId (each optional).
  virtual BOOL LoadFrame(UINT resourceId, DWORD defaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* pParentWnd = nullptr);
  // Positions the frame's children inside its client area; WM_SIZE calls it.
  virtual void RecalcLayout(BOOL notify = TRUE);
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  HACCEL m_hAccelTable;
  HMENU m_hMenuShared;

  // A window class carrying the icon found under resourceId, or the
  // framework's frame class when there is none.
  LPCSTR GetIconWndClass(UINT resourceId);
  void PostNcDestroy() override;
  // Default processing, then RecalcLayout unless minimized.
  afx_msg void OnSize(UINT nType, int cx, int cy);

  DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd;

class AFX_API CMDIFrameWnd : public CFrameWnd {
  DECLARE_DYNAMIC(CMDIFrameWnd)

 public:
  HWND m_hWndMDIClient;

  CMDIFrameWnd();
  // Creates an object of pClass (which must derive from CMDIChildWnd) and its
  // window as a child of this frame, titled and iconed from resourceId, with
  // an optional menu and accelerator table; shows and activates it. Null when
  // anything fails; the object is then gone.
  CMDIChildWnd* CreateNewChild(CRuntimeClass* pClass, UINT resourceId, HMENU hMenu = nullptr,
                               HACCEL hAccel = nullptr);
  CMDIChildWnd* MDIGetActive(BOOL* pMaximized = nullptr) const;
  void MDIActivate(CWnd* pWnd);
  void MDICascade() { ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0); }
  void MDITile(int type = MDITILE_HORIZONTAL) {
    ::SendMessageA(m_hWndMDIClient, WM_MDITILE, type, 0);
  }
  void RecalcLayout(BOOL notify = TRUE) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Creates the MDI client; its Window menu is the menu popup that holds a
  // command from ID_WINDOW_NEW to AFX_IDM_WINDOW_LAST.
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  // Destroys the MDI children before the MDI client goes.
  afx_msg void OnDestroy();
  // Arrange, Cascade, Tile horizontally and vertically.
  afx_msg void OnMDIWindowCmd(UINT nID);

  DECLARE_MESSAGE_MAP()
};

class AFX_API CMDIChildWnd : public CFrameWnd {
  DECLARE_DYNAMIC(CMDIChildWnd)

 public:
  CMDIChildWnd();
  // Creates the window inside pParentWnd's MDI client (the thread's main
  // window when null).
  BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
              CMDIFrameWnd* pParentWnd);
  BOOL LoadFrame(UINT resourceId, DWORD defaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = nullptr) override;
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL DestroyWindow() override;
  CMDIFrameWnd* GetMDIFrame() const;
  // Shows the child (cmdShow -1: maximized when the active child is or its
  // style says so) and makes it the active child.
  void ActivateFrame(int cmdShow = -1);
  void SetHandles(HMENU hMenu, HACCEL hAccel);

 protected:
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Default processing; a child with its own menu shows it while active.
  afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);

  DECLARE_MESSAGE_MAP()
};
