// CModelessPage: the one home of what every page of the client's window
// shares as a modeless dialog: Enter and Esc reach the dialog manager as
// IDOK and IDCANCEL, and the default handlers would end the dialog, which
// for a page that lives as long as its window only hides it and leaves it
// broken. The page host and its pages derive from it instead of CDialog.
// User-interface thread.
#pragma once

#include "framework/afxwin.h"

class CModelessPage : public CDialog {
 public:
  explicit CModelessPage(UINT templateId, CWnd* pParent = nullptr) : CDialog(templateId, pParent) {}

 protected:
  // Enter and Esc end nothing.
  void OnOK() override {}
  void OnCancel() override {}
};
