// The host's main window: an MDI frame with the window list in a rebar at
// the top, the Window menu and Help → "Plug-ins…". UI thread only.
#pragma once

#include "framework/afxwin.h"
#include "plugin_list_dialog.h"
#include "window_list.h"

class CMainFrame : public CMDIFrameWnd {
 public:
  CMainFrame();
  void RecalcLayout(BOOL notify = TRUE) override;
  CWindowListBar m_windowList;
  CPluginListDlg m_pluginList;

 protected:
  // The MDI client, then the rebar holding the window list bar.
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnAppExit();
  // Help → "Plug-ins…".
  afx_msg void OnHelpPlugins();

 private:
  HWND m_hWndRebar;

  DECLARE_MESSAGE_MAP()
};
