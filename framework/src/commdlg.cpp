// CCommonDialog and CFindReplaceDialog: the system's Find dialog attached to
// its object as the system creates it.
#include "afx_state.h"
#include "framework/afxdlgs.h"

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

BOOL CCommonDialog::OnInitDialog() { return static_cast<BOOL>(Default()); }

void CCommonDialog::OnOK() { Default(); }

void CCommonDialog::OnCancel() { Default(); }

IMPLEMENT_DYNAMIC(CFindReplaceDialog, CCommonDialog)

CFindReplaceDialog::CFindReplaceDialog() : CCommonDialog(nullptr), m_fr() {
  m_szFindWhat[0] = '\0';
  m_szReplaceWith[0] = '\0';
  m_fr.lStructSize = sizeof m_fr;
  m_fr.lpstrFindWhat = m_szFindWhat;
  m_fr.wFindWhatLen = sizeof m_szFindWhat;
  m_fr.lpstrReplaceWith = m_szReplaceWith;
  m_fr.wReplaceWithLen = sizeof m_szReplaceWith;
  // GetNotifier's way back from the structure to its dialog.
  m_fr.lCustData = reinterpret_cast<LPARAM>(this);
}

BOOL CFindReplaceDialog::Create(BOOL bFindDialogOnly, LPCSTR lpszFindWhat, LPCSTR lpszReplaceWith,
                                DWORD dwFlags, CWnd* pParentWnd) {
  m_fr.Flags |= dwFlags;
  if (pParentWnd == nullptr) {
    CWinThread* thread = AfxGetThread();
    pParentWnd = thread ? thread->m_pMainWnd : nullptr;
  }
  // The system refuses a dialog without an owner to tell.
  m_fr.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
  if (lpszFindWhat) lstrcpynA(m_szFindWhat, lpszFindWhat, sizeof m_szFindWhat);
  if (lpszReplaceWith) lstrcpynA(m_szReplaceWith, lpszReplaceWith, sizeof m_szReplaceWith);
  AfxHookWindowCreate(this, nullptr);
  HWND hWnd = bFindDialogOnly ? ::FindTextA(&m_fr) : ::ReplaceTextA(&m_fr);
  // Not attached: no window ever came, and nothing else would delete this.
  if (!AfxUnhookWindowCreate()) PostNcDestroy();
  return hWnd != nullptr;
}

CFindReplaceDialog* CFindReplaceDialog::GetNotifier(LPARAM lParam) {
  return reinterpret_cast<CFindReplaceDialog*>(reinterpret_cast<FINDREPLACEA*>(lParam)->lCustData);
}

void CFindReplaceDialog::PostNcDestroy() { delete this; }
