// The pages' controls named for screen readers: the system's accessible
// object of each, with our name. See control_access.h.
#include "ui/controls/control_access.h"

#include <oleacc.h>

#include <new>

namespace {

// The system's accessible object for a control with its own name replaced
// by ours; every other call goes to the system's object unchanged.
class CNamedAccessible final : public IAccessible {
 public:
  CNamedAccessible(IAccessible* system, BSTR name)
      : m_references(1), m_system(system), m_name(name) {}
  CNamedAccessible(const CNamedAccessible&) = delete;
  CNamedAccessible& operator=(const CNamedAccessible&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(::InterlockedIncrement(&m_references));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = ::InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // Clients use IAccessible's methods, not late binding.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
    if (id.vt != VT_I4 || id.lVal != CHILDID_SELF) return m_system->get_accName(id, name);
    if (name == nullptr) return E_POINTER;
    *name = ::SysAllocString(m_name);
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return m_system->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return m_system->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
    return m_system->get_accChild(id, child);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
    return m_system->get_accValue(id, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override {
    return m_system->get_accDescription(id, description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
    return m_system->get_accRole(id, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
    return m_system->get_accState(id, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override {
    return m_system->get_accHelp(id, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override {
    return m_system->get_accHelpTopic(file, id, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override {
    return m_system->get_accKeyboardShortcut(id, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* id) override {
    return m_system->get_accFocus(id);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* id) override {
    return m_system->get_accSelection(id);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override {
    return m_system->get_accDefaultAction(id, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override {
    return m_system->accSelect(flags, id);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT id) override {
    return m_system->accLocation(left, top, width, height, id);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return m_system->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* id) override {
    return m_system->accHitTest(x, y, id);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
    return m_system->accDoDefaultAction(id);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT id, BSTR name) override {
    return m_system->put_accName(id, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT id, BSTR value) override {
    return m_system->put_accValue(id, value);
  }

 private:
  ~CNamedAccessible() {
    m_system->Release();
    ::SysFreeString(m_name);
  }

  LONG m_references;
  IAccessible* m_system;  // owned: one reference
  BSTR m_name;            // owned
};

}  // namespace

BSTR Cp932Bstr(const char* text) {
  const int units = ::MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
  if (units <= 0) return nullptr;
  BSTR wide = ::SysAllocStringLen(nullptr, static_cast<UINT>(units - 1));
  if (wide != nullptr) ::MultiByteToWideChar(932, 0, text, -1, wide, units);
  return wide;
}

LRESULT NamedClientObject(HWND control, const char* name, WPARAM flags, LPARAM objectId) {
  // The object id is a DWORD whatever the width of LPARAM.
  if (static_cast<DWORD>(objectId) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
  IAccessible* system = nullptr;
  if (FAILED(::CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&system)))) {
    return 0;
  }
  BSTR wide = Cp932Bstr(name);
  if (wide == nullptr) {
    system->Release();
    return 0;
  }
  auto* named = new (std::nothrow) CNamedAccessible(system, wide);
  if (named == nullptr) {
    system->Release();
    ::SysFreeString(wide);
    return 0;
  }
  // A new object per request: the reference keeps it alive for the client,
  // and ours goes.
  const LRESULT reference = ::LresultFromObject(__uuidof(IAccessible), flags, named);
  named->Release();
  return reference > 0 ? reference : 0;
}

BEGIN_MESSAGE_MAP(CNamedEdit, CEdit)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

LRESULT CNamedEdit::OnGetObject(WPARAM flags, LPARAM objectId) {
  const LRESULT named = NamedClientObject(m_hWnd, m_name, flags, objectId);
  return named != 0 ? named : Default();
}

BEGIN_MESSAGE_MAP(CNamedListCtrl, CListCtrl)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

LRESULT CNamedListCtrl::OnGetObject(WPARAM flags, LPARAM objectId) {
  const LRESULT named = NamedClientObject(m_hWnd, m_name, flags, objectId);
  return named != 0 ? named : Default();
}

BEGIN_MESSAGE_MAP(CNamedConsoleView, CConsoleView)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

LRESULT CNamedConsoleView::OnGetObject(WPARAM flags, LPARAM objectId) {
  const LRESULT named = NamedClientObject(m_hWnd, m_name, flags, objectId);
  return named != 0 ? named : Default();
}
