// CDialog: modeless creation from a template in the resource search chain,
// initialisation through data exchange, the OK/Cancel commands and the
// dialog manager's keyboard handling.
#include "afx_state.h"

namespace {

// Every message goes through the window's framework procedure first; this
// only tells the dialog manager to do its default processing.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

IMPLEMENT_DYNAMIC(CDialog, CWnd)

CDialog::CDialog() : m_lpszTemplateName(nullptr), m_pParentWnd(nullptr) {}

CDialog::CDialog(UINT templateId, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(templateId)), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCSTR templateName, CWnd* pParentWnd)
    : m_lpszTemplateName(templateName), m_pParentWnd(pParentWnd) {}

BOOL CDialog::Create(UINT templateId, CWnd* pParentWnd) {
  return Create(MAKEINTRESOURCEA(templateId), pParentWnd);
}

BOOL CDialog::Create(LPCSTR templateName, CWnd* pParentWnd) {
  m_lpszTemplateName = templateName;
  LPCSTR type = reinterpret_cast<LPCSTR>(RT_DIALOG);
  HINSTANCE hInst = AfxFindResourceHandle(templateName, type);
  HRSRC hRes = ::FindResourceA(hInst, templateName, type);
  if (!hRes) return FALSE;
  HGLOBAL hTemplate = ::LoadResource(hInst, hRes);
  auto* pTemplate = static_cast<LPCDLGTEMPLATEA>(::LockResource(hTemplate));
  if (!pTemplate) return FALSE;
  return CreateIndirect(pTemplate, pParentWnd, hInst);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEA pTemplate, CWnd* pParentWnd, HINSTANCE hInstance) {
  if (pParentWnd) m_pParentWnd = pParentWnd;
  AfxHookWindowCreate(this, nullptr);
  HWND hWnd = ::CreateDialogIndirectParamA(
      hInstance, pTemplate, m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  return hWnd != nullptr;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  // The dialog manager sees keyboard and mouse input only: Tab, arrows,
  // Enter and Escape, mnemonics.
  bool key = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
  bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
  if (!key && !mouse) return FALSE;
  return ::IsDialogMessageA(m_hWnd, pMsg);
}
