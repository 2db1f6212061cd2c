// Help → "Plug-ins…": a modeless window listing each registered plug-in with
// its file, author and version. UI thread only.
#pragma once

#include "framework/afxwin.h"

class CPluginListDlg : public CDialog {
 public:
  CPluginListDlg();
  // Creates the window (or refreshes it) and brings it forward.
  void ShowFor(CWnd* pOwner);
  CListCtrl m_rows;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override { DestroyWindow(); }
  void OnCancel() override { DestroyWindow(); }

 private:
  void FillRows();
};
