// COrlaFrame: the client's one window inside the host, an MDI child of the
// host's main frame titled "Orlaマネージャー", whose client area the page host
// fills. It shapes its own style, has no Close command, keeps the page host
// sized and focused, and keeps its entry in the host's window list in step
// with its life and activation. The framework creates it from its runtime
// class and deletes it after its window is gone.
//
// Threads: user-interface thread only.
#pragma once

#include "framework/afxwin.h"
#include "ui/host/page_host_dlg.h"

class COrlaFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(COrlaFrame)

 public:
  COrlaFrame() = default;

  CPageHostDlg& PageHost() { return m_pageHost; }

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  void RecalcLayout(BOOL notify = TRUE) override;

 protected:
  // Drops the Close command and creates the page host.
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  // Passes the focus on to the page host.
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  // Removes the frame's entry from the host's window list.
  afx_msg void OnDestroy();
  // Selects the frame's entry in the host's window list.
  afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);

 private:
  CPageHostDlg m_pageHost;

  DECLARE_MESSAGE_MAP()
};
