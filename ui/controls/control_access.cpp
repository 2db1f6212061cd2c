// The pages' controls named for screen readers: the system's accessible
// object of each annotated with our name, or, without annotation, our own
// answer to WM_GETOBJECT. See control_access.h.
#include "ui/controls/control_access.h"

#include <objbase.h>
//
#include <oleacc.h>

#include "ui/controls/named_accessible.h"

namespace {

// Longer than any pane's name.
const int kNameUnits = 64;

}  // namespace

BSTR Cp932Bstr(const char* text) {
  const int units = ::MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
  if (units <= 0) return nullptr;
  BSTR wide = ::SysAllocStringLen(nullptr, static_cast<UINT>(units - 1));
  if (wide != nullptr) ::MultiByteToWideChar(932, 0, text, -1, wide, units);
  return wide;
}

void CPaneName::Apply(HWND control) {
  if (control == nullptr || m_service != nullptr) return;
  wchar_t name[kNameUnits];
  if (::MultiByteToWideChar(932, 0, m_name, -1, name, kNameUnits) <= 0) return;
  // The host's thread may have COM in any state: none yet (we start it
  // apartment-threaded, as a window's thread should be), apartment-threaded
  // (counted once more) or multithreaded (RPC_E_CHANGED_MODE: usable, and
  // not ours to end).
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(com) && com != RPC_E_CHANGED_MODE) return;
  IAccPropServices* service = nullptr;
  HRESULT annotated = ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IAccPropServices, reinterpret_cast<void**>(&service));
  if (SUCCEEDED(annotated)) {
    annotated = service->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name);
  }
  if (SUCCEEDED(annotated)) {
    // No name-change event: the page is still being made, so no reader has
    // heard the control's name yet.
    m_annotated = control;
    m_service = service;
    m_balanceCom = SUCCEEDED(com);
    return;
  }
  // No annotation here (Wine answers E_NOTIMPL; a class that is not
  // registered fails the creation): WM_GETOBJECT names the control instead.
  if (service != nullptr) service->Release();
  if (SUCCEEDED(com)) ::CoUninitialize();
}

void CPaneName::Clear() {
  if (m_service == nullptr) return;
  // The name must not outlive the window: a new window could come to have
  // the same handle.
  const MSAAPROPID properties[] = {PROPID_ACC_NAME};
  m_service->ClearHwndProps(m_annotated, OBJID_CLIENT, CHILDID_SELF, properties, 1);
  m_service->Release();
  m_service = nullptr;
  m_annotated = nullptr;
  if (m_balanceCom) ::CoUninitialize();
  m_balanceCom = false;
}

LRESULT CPaneName::Answer(HWND control, WPARAM flags, LPARAM objectId) const {
  if (m_service != nullptr) return 0;
  return NamedClientObject(control, m_name, m_listView, flags, objectId);
}

BEGIN_MESSAGE_MAP(CNamedEdit, CEdit)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

LRESULT CNamedEdit::OnGetObject(WPARAM flags, LPARAM objectId) {
  const LRESULT named = m_name.Answer(m_hWnd, flags, objectId);
  return named != 0 ? named : Default();
}

void CNamedEdit::OnDestroy() {
  m_name.Clear();
  CEdit::OnDestroy();
}

BEGIN_MESSAGE_MAP(CNamedListCtrl, CListCtrl)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

LRESULT CNamedListCtrl::OnGetObject(WPARAM flags, LPARAM objectId) {
  const LRESULT named = m_name.Answer(m_hWnd, flags, objectId);
  return named != 0 ? named : Default();
}

void CNamedListCtrl::OnDestroy() {
  m_name.Clear();
  CListCtrl::OnDestroy();
}

BEGIN_MESSAGE_MAP(CNamedConsoleView, CConsoleView)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

LRESULT CNamedConsoleView::OnGetObject(WPARAM flags, LPARAM objectId) {
  const LRESULT named = m_name.Answer(m_hWnd, flags, objectId);
  return named != 0 ? named : Default();
}

void CNamedConsoleView::OnDestroy() {
  m_name.Clear();
  CConsoleView::OnDestroy();
}
