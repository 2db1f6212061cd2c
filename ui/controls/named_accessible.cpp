// A pane's own accessible object: the system's with our name, and a list
// view's rows where the system gives none. See named_accessible.h.
#include "ui/controls/named_accessible.h"

#include <commctrl.h>
//
#include <oleacc.h>

#include <new>
#include <string>

#include "ui/controls/control_access.h"

namespace {

// Larger than any text a row holds (a topic is at most a frame's payload):
// a list view leaves a text cut to the buffer unterminated.
const int kCellBytes = 2048;

bool IsSelf(const VARIANT& id) { return id.vt == VT_I4 && id.lVal == CHILDID_SELF; }

HRESULT Answer(BSTR text, BSTR* out) {
  *out = text;
  return text != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetLong(VARIANT* out, LONG value) {
  out->vt = VT_I4;
  out->lVal = value;
}

class CNamedAccessible final : public IAccessible {
 public:
  // name: a literal (code page 932). rowsOf: the list view whose rows this
  // object gives, or null when the system's object has them (or the control
  // is no list).
  CNamedAccessible(IAccessible* system, const char* name, HWND rowsOf)
      : m_references(1), m_system(system), m_name(name), m_rowsOf(rowsOf) {}
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
    if (!IsSelf(id) && m_rowsOf == nullptr) return m_system->get_accName(id, name);
    if (name == nullptr) return E_POINTER;
    *name = nullptr;
    if (IsSelf(id)) return Answer(Cp932Bstr(m_name), name);
    int row = 0;
    const HRESULT found = FindRow(id, &row);
    if (FAILED(found)) return found;
    char text[kCellBytes];
    return Answer(Cp932Bstr(CellText(row, 0, text)), name);
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override {
    if (!OwnsRow(id)) return m_system->get_accDescription(id, description);
    if (description == nullptr) return E_POINTER;
    *description = nullptr;
    int row = 0;
    const HRESULT found = FindRow(id, &row);
    if (FAILED(found)) return found;
    // The other columns, as the system's own list reads them.
    std::string text;
    char header[kCellBytes], cell[kCellBytes];
    for (int column = 1; ColumnHeader(column, header); ++column) {
      if (!text.empty()) text += ", ";
      text = text + header + ": " + CellText(row, column, cell);
    }
    if (text.empty()) return S_FALSE;
    return Answer(Cp932Bstr(text.c_str()), description);
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
    if (m_rowsOf == nullptr) return m_system->get_accRole(id, role);
    if (role == nullptr) return E_POINTER;
    ::VariantInit(role);
    int row = 0;
    const HRESULT found = FindRow(id, &row);
    if (FAILED(found)) return found;
    SetLong(role, row < 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
    if (!OwnsRow(id)) return m_system->get_accState(id, state);
    if (state == nullptr) return E_POINTER;
    ::VariantInit(state);
    int row = 0;
    const HRESULT found = FindRow(id, &row);
    if (FAILED(found)) return found;
    const UINT item = static_cast<UINT>(
        ::SendMessageA(m_rowsOf, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
    LONG states = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if ((item & LVIS_SELECTED) != 0) states |= STATE_SYSTEM_SELECTED;
    if ((item & LVIS_FOCUSED) != 0 && ::GetFocus() == m_rowsOf) states |= STATE_SYSTEM_FOCUSED;
    if (!::IsWindowVisible(m_rowsOf)) states |= STATE_SYSTEM_INVISIBLE;
    SetLong(state, states);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (m_rowsOf == nullptr) return m_system->get_accChildCount(count);
    if (count == nullptr) return E_POINTER;
    const HRESULT list = CheckList();
    if (FAILED(list)) return list;
    *count = static_cast<LONG>(::SendMessageA(m_rowsOf, LVM_GETITEMCOUNT, 0, 0));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
    if (m_rowsOf == nullptr) return m_system->get_accChild(id, child);
    if (child == nullptr) return E_POINTER;
    *child = nullptr;
    int row = 0;
    const HRESULT found = FindRow(id, &row);
    if (FAILED(found)) return found;
    // Rows are simple elements of this object, not objects of their own.
    return row < 0 ? E_INVALIDARG : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* id) override {
    if (m_rowsOf == nullptr) return m_system->get_accFocus(id);
    if (id == nullptr) return E_POINTER;
    ::VariantInit(id);
    const HRESULT list = CheckList();
    if (FAILED(list)) return list;
    if (::GetFocus() != m_rowsOf) return S_FALSE;
    const int row = NextRow(LVNI_FOCUSED);
    SetLong(id, row < 0 ? CHILDID_SELF : row + 1);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* id) override {
    if (m_rowsOf == nullptr) return m_system->get_accSelection(id);
    if (id == nullptr) return E_POINTER;
    ::VariantInit(id);
    const HRESULT list = CheckList();
    if (FAILED(list)) return list;
    const int row = NextRow(LVNI_SELECTED);
    if (row < 0) return S_FALSE;
    SetLong(id, row + 1);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override {
    if (!OwnsRow(id)) return m_system->accSelect(flags, id);
    int row = 0;
    const HRESULT found = FindRow(id, &row);
    if (FAILED(found)) return found;
    // One row at a time: adding to, extending or removing from a selection
    // means nothing in these lists.
    if ((flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) == 0 ||
        (flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION | SELFLAG_EXTENDSELECTION)) != 0)
      return E_INVALIDARG;
    LVITEMA item = {};
    item.stateMask = ((flags & SELFLAG_TAKESELECTION) != 0 ? LVIS_SELECTED : 0) |
                     ((flags & SELFLAG_TAKEFOCUS) != 0 ? LVIS_FOCUSED : 0);
    item.state = item.stateMask;
    ::SendMessageA(m_rowsOf, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    ::SendMessageA(m_rowsOf, LVM_ENSUREVISIBLE, row, FALSE);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT id) override {
    if (!OwnsRow(id)) return m_system->accLocation(left, top, width, height, id);
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
      return E_POINTER;
    *left = *top = *width = *height = 0;
    int row = 0;
    const HRESULT found = FindRow(id, &row);
    if (FAILED(found)) return found;
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    if (!::SendMessageA(m_rowsOf, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)))
      return S_FALSE;
    ::MapWindowPoints(m_rowsOf, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (m_rowsOf == nullptr) return m_system->accNavigate(direction, start, end);
    if (end == nullptr) return E_POINTER;
    ::VariantInit(end);
    int row = 0;
    const HRESULT found = FindRow(start, &row);
    if (FAILED(found)) return found;
    const int count = static_cast<int>(::SendMessageA(m_rowsOf, LVM_GETITEMCOUNT, 0, 0));
    int to = -2;
    if (row < 0) {
      if (direction == NAVDIR_FIRSTCHILD) to = 0;
      if (direction == NAVDIR_LASTCHILD) to = count - 1;
      // The list among its own siblings is the system's to say.
      if (to == -2) return m_system->accNavigate(direction, start, end);
    } else {
      if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) to = row + 1;
      if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) to = row - 1;
    }
    if (to < 0 || to >= count) return S_FALSE;
    SetLong(end, to + 1);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* id) override {
    if (m_rowsOf == nullptr || FAILED(CheckList())) return m_system->accHitTest(x, y, id);
    LVHITTESTINFO hit = {};
    hit.pt = {x, y};
    ::ScreenToClient(m_rowsOf, &hit.pt);
    const int row =
        static_cast<int>(::SendMessageA(m_rowsOf, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0 || id == nullptr) return m_system->accHitTest(x, y, id);
    ::VariantInit(id);
    SetLong(id, row + 1);
    return S_OK;
  }

  // A row has no value, help or action of its own.
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
    return OwnsRow(id) ? NoneForRow(id, value) : m_system->get_accValue(id, value);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override {
    return OwnsRow(id) ? NoneForRow(id, help) : m_system->get_accHelp(id, help);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override {
    return OwnsRow(id) ? NoneForRow(id, shortcut) : m_system->get_accKeyboardShortcut(id, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override {
    return OwnsRow(id) ? NoneForRow(id, action) : m_system->get_accDefaultAction(id, action);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override {
    if (!OwnsRow(id)) return m_system->get_accHelpTopic(file, id, topic);
    if (topic == nullptr) return E_POINTER;
    *topic = 0;
    return NoneForRow(id, file);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
    if (!OwnsRow(id)) return m_system->accDoDefaultAction(id);
    int row = 0;
    const HRESULT found = FindRow(id, &row);
    return FAILED(found) ? found : DISP_E_MEMBERNOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return m_system->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT id, BSTR name) override {
    return m_system->put_accName(id, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT id, BSTR value) override {
    return m_system->put_accValue(id, value);
  }

 private:
  ~CNamedAccessible() { m_system->Release(); }

  bool OwnsRow(const VARIANT& id) const { return m_rowsOf != nullptr && !IsSelf(id); }

  // S_OK while the list is there and this is its thread.
  HRESULT CheckList() const {
    if (::GetWindowThreadProcessId(m_rowsOf, nullptr) == ::GetCurrentThreadId()) return S_OK;
    return ::IsWindow(m_rowsOf) ? RPC_E_WRONG_THREAD : RPC_E_DISCONNECTED;
  }

  // S_OK with the row of a child id in *row (-1 for the list itself);
  // E_INVALIDARG for an id that names no row.
  HRESULT FindRow(const VARIANT& id, int* row) const {
    const HRESULT list = CheckList();
    if (FAILED(list)) return list;
    if (id.vt != VT_I4) return E_INVALIDARG;
    const LONG count = static_cast<LONG>(::SendMessageA(m_rowsOf, LVM_GETITEMCOUNT, 0, 0));
    if (id.lVal != CHILDID_SELF && (id.lVal < 1 || id.lVal > count)) return E_INVALIDARG;
    *row = id.lVal - 1;
    return S_OK;
  }

  HRESULT NoneForRow(const VARIANT& id, BSTR* out) const {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    int row = 0;
    const HRESULT found = FindRow(id, &row);
    return FAILED(found) ? found : DISP_E_MEMBERNOTFOUND;
  }

  // The first row in the state (LVNI_FOCUSED, LVNI_SELECTED); -1 for none.
  int NextRow(UINT state) const {
    return static_cast<int>(
        ::SendMessageA(m_rowsOf, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(state, 0)));
  }

  const char* CellText(int row, int column, char (&text)[kCellBytes]) const {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kCellBytes;
    text[0] = '\0';
    ::SendMessageA(m_rowsOf, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    text[kCellBytes - 1] = '\0';
    return text;
  }

  // false past the last column.
  bool ColumnHeader(int column, char (&text)[kCellBytes]) const {
    LVCOLUMNA header = {};
    header.mask = LVCF_TEXT;
    header.pszText = text;
    header.cchTextMax = kCellBytes;
    text[0] = '\0';
    const bool exists =
        ::SendMessageA(m_rowsOf, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&header)) != 0;
    text[kCellBytes - 1] = '\0';
    return exists;
  }

  LONG m_references;
  IAccessible* m_system;  // owned: one reference
  const char* m_name;     // a literal
  HWND m_rowsOf;          // not owned; null when the rows are the system's
};

}  // namespace

LRESULT NamedClientObject(HWND control, const char* name, bool listView, WPARAM flags,
                          LPARAM objectId) {
  // The object id is a DWORD whatever the width of LPARAM.
  if (static_cast<DWORD>(objectId) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
  IAccessible* system = nullptr;
  if (FAILED(::CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&system)))) {
    return 0;
  }
  HWND rowsOf = nullptr;
  if (listView) {
    VARIANT self, role;
    SetLong(&self, CHILDID_SELF);
    ::VariantInit(&role);
    const bool systemList = SUCCEEDED(system->get_accRole(self, &role)) && role.vt == VT_I4 &&
                            role.lVal == ROLE_SYSTEM_LIST;
    if (!systemList) rowsOf = control;
  }
  auto* named = new (std::nothrow) CNamedAccessible(system, name, rowsOf);
  if (named == nullptr) {
    system->Release();
    return 0;
  }
  // A new object per request: the reference keeps it alive for the client,
  // and ours goes.
  const LRESULT reference = ::LresultFromObject(__uuidof(IAccessible), flags, named);
  named->Release();
  return reference > 0 ? reference : 0;
}
