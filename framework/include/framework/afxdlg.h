// CDialog (modeless, from a template found through the resource search
// chain) and dialog data exchange: CDataExchange, DDX_Control, DDX_Text,
// DDV_MaxChars. A failed validation shows the framework's message, puts the
// focus on the control and makes UpdateData return FALSE; no exceptions.
// UI thread only.
#pragma once

#include "framework/afxwnd.h"

class CDataExchange;

class AFX_API CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog();
  explicit CDialog(UINT templateId, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCSTR templateName, CWnd* pParentWnd = nullptr);

  // Creates the modeless dialog; the template is looked up with
  // AfxFindResourceHandle. A null parent means the one given at construction.
  virtual BOOL Create(UINT templateId, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(LPCSTR templateName, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(LPCDLGTEMPLATEA pTemplate, CWnd* pParentWnd, HINSTANCE hInstance);

  void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Loads the members into the controls; nonzero lets the system set the focus.
  virtual BOOL OnInitDialog();

 protected:
  LPCSTR m_lpszTemplateName;
  CWnd* m_pParentWnd;

  // IDOK (Enter): takes the controls' contents and ends the dialog when
  // they are valid. IDCANCEL (Escape): ends it, taking nothing.
  virtual void OnOK();
  virtual void OnCancel();
  // WM_INITDIALOG: OnInitDialog's answer.
  afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()
};

class AFX_API CDataExchange {
 public:
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl;
  BOOL m_bEditLastControl;
  // Set by Fail (or a missing control); every later exchange does nothing.
  BOOL m_bFailed;

  CDataExchange(CWnd* pDlgWnd, BOOL saveAndValidate);
  // The control's handle, or null (and failed) when the dialog has none.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  // Focuses the last prepared control (selecting an edit's text) and marks
  // the exchange failed.
  void Fail();
};

AFX_API void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
AFX_API void DDX_Text(CDataExchange* pDX, int id, CString& value);
// On load: the edit's text limit. On save: a longer value fails with the
// framework's message.
AFX_API void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars);
