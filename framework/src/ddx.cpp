// Dialog data exchange and validation between a dialog's controls and its
// members. A failure is sticky: the rest of the exchange does nothing.
#include "afx_state.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate),
      m_pDlgWnd(pDlgWnd),
      m_hWndLastControl(nullptr),
      m_bEditLastControl(FALSE),
      m_bFailed(FALSE) {}

HWND CDataExchange::PrepareCtrl(int id) {
  HWND hCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
  if (!hCtrl) {
    m_bFailed = TRUE;
    return nullptr;
  }
  m_hWndLastControl = hCtrl;
  m_bEditLastControl = FALSE;
  return hCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  HWND hCtrl = PrepareCtrl(id);
  if (hCtrl) m_bEditLastControl = TRUE;
  return hCtrl;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_hWndLastControl) {
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  m_bFailed = TRUE;
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (pDX->m_bFailed || control.m_hWnd) return;  // bound once, on the first exchange
  HWND hCtrl = pDX->PrepareCtrl(id);
  if (hCtrl) control.SubclassWindow(hCtrl);
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
  if (pDX->m_bFailed) return;
  HWND hCtrl = pDX->PrepareEditCtrl(id);
  if (!hCtrl) return;
  if (pDX->m_bSaveAndValidate) {
    int length = ::GetWindowTextLengthA(hCtrl);
    ::GetWindowTextA(hCtrl, value.GetBuffer(length), length + 1);
    value.ReleaseBuffer();
    return;
  }
  // Only a changed text is set, so the control does not flicker.
  char current[256];
  int length = ::GetWindowTextA(hCtrl, current, sizeof current);
  if (length != value.GetLength() || length >= static_cast<int>(sizeof current) - 1 ||
      lstrcmpA(current, value) != 0) {
    ::SetWindowTextA(hCtrl, value);
  }
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars) {
  if (pDX->m_bFailed) return;
  if (!pDX->m_bSaveAndValidate) {
    if (pDX->m_hWndLastControl && pDX->m_bEditLastControl) {
      ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, maxChars, 0);
    }
    return;
  }
  if (value.GetLength() > maxChars) {
    char prompt[128];
    wsprintfA(prompt, "%d 文字以内で入力してください。", maxChars);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
    pDX->Fail();
  }
}
