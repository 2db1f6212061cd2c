// The window list below the main frame's menu: a dialog bar (0xE805) in the
// rebar (0xE804) holding combo box 1006, whose items are MDI children (item
// data: the child's window object). Plug-ins add and remove their own items
// and send WM_WINDOWLIST_COUNT; choosing an item activates its child.
// UI thread only.
#pragma once

#include "framework/afxwin.h"

// Combo box 1006: shows the count it is told beside itself.
class CWindowListCombo : public CWnd {
 protected:
  // WM_WINDOWLIST_COUNT: the count in the low 16 bits of lParam.
  afx_msg LRESULT OnWindowListCount(WPARAM, LPARAM lParam);

  DECLARE_MESSAGE_MAP()
};

class CWindowListBar : public CDialog {
 public:
  CWindowListBar();
  // Creates the bar as a child of pParent with the dialog bar's id.
  BOOL CreateBar(CWnd* pParent);
  CWindowListCombo m_combo;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override {}
  void OnCancel() override {}
  // The user chose an item: its child becomes the active one.
  afx_msg void OnSelectWindow();

  DECLARE_MESSAGE_MAP()
};
