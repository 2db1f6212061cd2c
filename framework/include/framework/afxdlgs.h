// The common dialogs the client uses: CCommonDialog, and CFindReplaceDialog,
// the system's modeless Find (or Find and Replace) dialog. The dialog is
// attached to its object when the system creates it, so the thread's
// message loop lets it pre-translate its input (CDialog's dialog manager:
// Tab, Enter, Esc) like any dialog of the framework. Its owner gets the
// registered message FINDMSGSTRING (ON_REGISTERED_MESSAGE) with lParam
// pointing at m_fr; GetNotifier gives the dialog back. The object is made
// with new and deletes itself when its window goes (or its Create fails).
// UI thread only.
#pragma once

#include "framework/afxdlg.h"
// After windows.h (afx_api.h), which it builds on; WIN32_LEAN_AND_MEAN leaves it out.
#include <commdlg.h>

class AFX_API CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)

 public:
  explicit CCommonDialog(CWnd* pParentWnd) : CDialog(static_cast<UINT>(0), pParentWnd) {}

  // The system's dialog procedure sets up its own controls (Default).
  BOOL OnInitDialog() override;

 protected:
  // The system's dialog procedure handles its own buttons: no EndDialog.
  void OnOK() override;
  void OnCancel() override;
};

class AFX_API CFindReplaceDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFindReplaceDialog)

 public:
  FINDREPLACEA m_fr;

  CFindReplaceDialog();
  // Creates and shows the Find dialog (bFindDialogOnly) or the Find and
  // Replace one; pParentWnd (the main window when null) gets its messages.
  // From the call on, the object belongs to its window: when Create fails
  // it is already deleted.
  BOOL Create(BOOL bFindDialogOnly, LPCSTR lpszFindWhat, LPCSTR lpszReplaceWith = nullptr,
              DWORD dwFlags = FR_DOWN, CWnd* pParentWnd = nullptr);

  // The dialog that sent a FINDMSGSTRING message, from its lParam.
  static CFindReplaceDialog* GetNotifier(LPARAM lParam);

  CString GetFindString() const { return m_fr.lpstrFindWhat; }
  CString GetReplaceString() const { return m_fr.lpstrReplaceWith; }
  BOOL SearchDown() const { return (m_fr.Flags & FR_DOWN) != 0; }
  BOOL FindNext() const { return (m_fr.Flags & FR_FINDNEXT) != 0; }
  BOOL MatchCase() const { return (m_fr.Flags & FR_MATCHCASE) != 0; }
  BOOL MatchWholeWord() const { return (m_fr.Flags & FR_WHOLEWORD) != 0; }
  BOOL ReplaceCurrent() const { return (m_fr.Flags & FR_REPLACE) != 0; }
  BOOL ReplaceAll() const { return (m_fr.Flags & FR_REPLACEALL) != 0; }
  // The user closed the dialog: the last message it sends.
  BOOL IsTerminating() const { return (m_fr.Flags & FR_DIALOGTERM) != 0; }

 protected:
  // Deletes the object with its window.
  void PostNcDestroy() override;

  char m_szFindWhat[128];
  char m_szReplaceWith[128];
};
