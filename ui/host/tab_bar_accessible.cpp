// The tab bar's accessible object: its children, their names, states,
// places and actions, read from the bar on every call. See
// tab_bar_accessible.h for ownership and threads.
#include "ui/host/tab_bar_accessible.h"

#include <cwchar>

#include "ui/host/tab_bar.h"
#include "ui/controls/control_access.h"

namespace {

HRESULT Answer(BSTR text, BSTR* out) {
  *out = text;
  return text != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, int tab) {
  out->vt = VT_I4;
  out->lVal = tab < 0 ? CHILDID_SELF : tab + 1;
}

}  // namespace

const wchar_t CTabBarAccessible::kNewsDescription[] = L"新着発言";
const wchar_t CTabBarAccessible::kMentionDescription[] = L"自分の名前を含む発言";

CTabBarAccessible::CTabBarAccessible(CTabBar* bar)
    : m_references(1), m_threadId(::GetCurrentThreadId()), m_bar(bar) {}

HRESULT CTabBarAccessible::CheckBar() const {
  if (::GetCurrentThreadId() != m_threadId) return RPC_E_WRONG_THREAD;
  if (m_bar == nullptr || m_bar->m_hWnd == nullptr) return RPC_E_DISCONNECTED;
  return S_OK;
}

HRESULT CTabBarAccessible::FindTab(const VARIANT& id, int* tab) const {
  const HRESULT bar = CheckBar();
  if (FAILED(bar)) return bar;
  if (id.vt != VT_I4) return E_INVALIDARG;
  if (id.lVal == CHILDID_SELF) {
    *tab = -1;
    return S_OK;
  }
  if (id.lVal < 1 || id.lVal > m_bar->GetTabCount()) return E_INVALIDARG;
  *tab = id.lVal - 1;
  return S_OK;
}

// ---- IUnknown and IDispatch ------------------------------------------------------

HRESULT CTabBarAccessible::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CTabBarAccessible::AddRef() {
  return static_cast<ULONG>(::InterlockedIncrement(&m_references));
}

ULONG CTabBarAccessible::Release() {
  const LONG left = ::InterlockedDecrement(&m_references);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT CTabBarAccessible::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT CTabBarAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT CTabBarAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT CTabBarAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                  UINT*) {
  return E_NOTIMPL;
}

// ---- the tree: the bar and its tabs ----------------------------------------------

HRESULT CTabBarAccessible::get_accParent(IDispatch** parent) {
  if (parent == nullptr) return E_POINTER;
  *parent = nullptr;
  const HRESULT found = CheckBar();
  if (FAILED(found)) return found;
  // The bar's window as the system describes it holds this client area.
  return ::CreateStdAccessibleObject(m_bar->m_hWnd, OBJID_WINDOW, IID_IDispatch,
                                     reinterpret_cast<void**>(parent));
}

HRESULT CTabBarAccessible::get_accChildCount(LONG* count) {
  if (count == nullptr) return E_POINTER;
  const HRESULT found = CheckBar();
  if (FAILED(found)) return found;
  *count = m_bar->GetTabCount();
  return S_OK;
}

HRESULT CTabBarAccessible::get_accChild(VARIANT id, IDispatch** child) {
  if (child == nullptr) return E_POINTER;
  *child = nullptr;
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  if (FAILED(found)) return found;
  // Tabs are simple elements of this object, not objects of their own.
  return tab < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT CTabBarAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  if (end == nullptr) return E_POINTER;
  ::VariantInit(end);
  int tab = 0;
  const HRESULT found = FindTab(start, &tab);
  if (FAILED(found)) return found;
  const int count = m_bar->GetTabCount();
  int to = -2;
  if (tab < 0) {
    if (direction == NAVDIR_FIRSTCHILD) to = 0;
    if (direction == NAVDIR_LASTCHILD) to = count - 1;
  } else {
    if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) to = tab + 1;
    if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) to = tab - 1;
  }
  if (to == -2) return tab < 0 ? DISP_E_MEMBERNOTFOUND : S_FALSE;
  if (to < 0 || to >= count) return S_FALSE;
  SetChild(end, to);
  return S_OK;
}

HRESULT CTabBarAccessible::accHitTest(LONG x, LONG y, VARIANT* id) {
  if (id == nullptr) return E_POINTER;
  ::VariantInit(id);
  const HRESULT found = CheckBar();
  if (FAILED(found)) return found;
  POINT point = {x, y};
  ::ScreenToClient(m_bar->m_hWnd, &point);
  RECT client;
  ::GetClientRect(m_bar->m_hWnd, &client);
  if (!::PtInRect(&client, point)) return S_FALSE;
  SetChild(id, m_bar->TabAt(CPoint(point.x, point.y)));
  return S_OK;
}

// ---- what a tab is ------------------------------------------------------------

HRESULT CTabBarAccessible::get_accName(VARIANT id, BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  if (FAILED(found)) return found;
  // The strip itself has no label of its own; its role says what it is.
  if (tab < 0) return S_FALSE;
  return Answer(Cp932Bstr(m_bar->GetTabLabel(tab)), name);
}

HRESULT CTabBarAccessible::get_accDescription(VARIANT id, BSTR* description) {
  if (description == nullptr) return E_POINTER;
  *description = nullptr;
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  if (FAILED(found)) return found;
  const wchar_t* mark = nullptr;
  switch (tab < 0 ? TabMark::kNone : m_bar->GetTabMark(tab)) {
    case TabMark::kNews:
      mark = kNewsDescription;
      break;
    case TabMark::kMention:
      mark = kMentionDescription;
      break;
    default:
      break;
  }
  // What the tab holds (a private conversation), then why it is marked.
  const wchar_t* kind = m_bar->GetTabDescription(tab);
  if (kind == nullptr && mark == nullptr) return S_FALSE;
  if (kind == nullptr || mark == nullptr) {
    return Answer(::SysAllocString(kind != nullptr ? kind : mark), description);
  }
  const UINT kindLength = static_cast<UINT>(std::wcslen(kind));
  BSTR both = ::SysAllocStringLen(nullptr, kindLength + 1 + static_cast<UINT>(std::wcslen(mark)));
  if (both != nullptr) {
    std::wcscpy(both, kind);
    both[kindLength] = L'、';
    std::wcscpy(both + kindLength + 1, mark);
  }
  return Answer(both, description);
}

HRESULT CTabBarAccessible::get_accValue(VARIANT id, BSTR* value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  return FAILED(found) ? found : DISP_E_MEMBERNOTFOUND;
}

HRESULT CTabBarAccessible::get_accRole(VARIANT id, VARIANT* role) {
  if (role == nullptr) return E_POINTER;
  ::VariantInit(role);
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  if (FAILED(found)) return found;
  role->vt = VT_I4;
  role->lVal = tab < 0 ? ROLE_SYSTEM_PAGETABLIST : ROLE_SYSTEM_PAGETAB;
  return S_OK;
}

HRESULT CTabBarAccessible::get_accState(VARIANT id, VARIANT* state) {
  if (state == nullptr) return E_POINTER;
  ::VariantInit(state);
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  if (FAILED(found)) return found;
  state->vt = VT_I4;
  state->lVal = 0;
  if (!::IsWindowVisible(m_bar->m_hWnd)) state->lVal |= STATE_SYSTEM_INVISIBLE;
  if (tab >= 0) {
    // Selectable, never focusable: the bar takes no keyboard focus.
    state->lVal |= STATE_SYSTEM_SELECTABLE;
    if (tab == m_bar->GetCurSel()) state->lVal |= STATE_SYSTEM_SELECTED;
  }
  return S_OK;
}

HRESULT CTabBarAccessible::get_accHelp(VARIANT id, BSTR* help) {
  if (help == nullptr) return E_POINTER;
  *help = nullptr;
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  return FAILED(found) ? found : DISP_E_MEMBERNOTFOUND;
}

HRESULT CTabBarAccessible::get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) {
  if (file == nullptr || topic == nullptr) return E_POINTER;
  *file = nullptr;
  *topic = 0;
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  return FAILED(found) ? found : DISP_E_MEMBERNOTFOUND;
}

HRESULT CTabBarAccessible::get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) {
  if (shortcut == nullptr) return E_POINTER;
  *shortcut = nullptr;
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  if (FAILED(found)) return found;
  // Alt+1 to Alt+9 pick tabs 1 to 9 (the frame's keys).
  if (tab < 0 || tab >= 9) return S_FALSE;
  wchar_t keys[] = L"Alt+1";
  keys[4] = static_cast<wchar_t>(L'1' + tab);
  return Answer(::SysAllocString(keys), shortcut);
}

HRESULT CTabBarAccessible::get_accFocus(VARIANT* id) {
  if (id == nullptr) return E_POINTER;
  ::VariantInit(id);
  const HRESULT found = CheckBar();
  // The bar never holds the keyboard focus: the shown page does.
  return FAILED(found) ? found : S_FALSE;
}

HRESULT CTabBarAccessible::get_accSelection(VARIANT* id) {
  if (id == nullptr) return E_POINTER;
  ::VariantInit(id);
  const HRESULT found = CheckBar();
  if (FAILED(found)) return found;
  const int selected = m_bar->GetCurSel();
  if (selected < 0 || selected >= m_bar->GetTabCount()) return S_FALSE;
  SetChild(id, selected);
  return S_OK;
}

HRESULT CTabBarAccessible::get_accDefaultAction(VARIANT id, BSTR* action) {
  if (action == nullptr) return E_POINTER;
  *action = nullptr;
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  if (FAILED(found)) return found;
  if (tab < 0) return DISP_E_MEMBERNOTFOUND;
  // "Switch", the word the system's own tabs use for this action.
  return Answer(::SysAllocString(L"\x5207\x308A\x66FF\x3048"), action);
}

HRESULT CTabBarAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                       VARIANT id) {
  if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
  *left = *top = *width = *height = 0;
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  if (FAILED(found)) return found;
  RECT rect;
  if (tab < 0) {
    ::GetClientRect(m_bar->m_hWnd, &rect);
  } else {
    const CRect slot = m_bar->GetTabRect(tab);
    rect = {slot.left, slot.top, slot.right, slot.bottom};
  }
  ::MapWindowPoints(m_bar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  *left = rect.left;
  *top = rect.top;
  *width = rect.right - rect.left;
  *height = rect.bottom - rect.top;
  return S_OK;
}

// ---- actions --------------------------------------------------------------------

HRESULT CTabBarAccessible::SelectTab(const VARIANT& id) {
  int tab = 0;
  const HRESULT found = FindTab(id, &tab);
  if (FAILED(found)) return found;
  if (tab < 0) return E_INVALIDARG;
  // The click's path: the page host shows the tab's page.
  m_bar->ClickTab(tab);
  return S_OK;
}

HRESULT CTabBarAccessible::accSelect(LONG flags, VARIANT id) {
  // One tab is shown at a time: taking the selection shows it, as a click
  // does (with the focus, which goes to the page, as a click's does). A tab
  // cannot take the focus alone; adding to or removing from a selection
  // means nothing here.
  if ((flags & SELFLAG_TAKESELECTION) == 0 ||
      (flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION | SELFLAG_EXTENDSELECTION)) != 0)
    return E_INVALIDARG;
  return SelectTab(id);
}

HRESULT CTabBarAccessible::accDoDefaultAction(VARIANT id) { return SelectTab(id); }

HRESULT CTabBarAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT CTabBarAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }
