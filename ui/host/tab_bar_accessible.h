// CTabBarAccessible: the tab bar as a screen reader reads it, through the
// platform's accessibility interface (IAccessible): a page tab list whose
// children, one per tab in tab order (child id = index + 1), are page tabs
// named by their labels as shown, the shown tab selected, each tab's mark in
// its description; a tab's default action, and accSelect taking the
// selection, select it as a click does. No tab is focusable and get_accFocus
// names none: the bar never holds the keyboard focus. The tab bar hands it
// out for WM_GETOBJECT (OBJID_CLIENT) and raises the events a reader follows
// (see tab_bar.h).
//
// Ownership: reference-counted; the tab bar holds one reference while its
// window lives, clients hold theirs for as long as they like. The object
// points at the bar only until the bar's window goes (Disconnect); every
// call after that fails with RPC_E_DISCONNECTED, and a call for a tab that
// is no longer there with E_INVALIDARG, so a client that holds the object
// never reaches a dead bar.
//
// Threads: created and disconnected on the user-interface thread; a call
// that arrives on any other thread fails with RPC_E_WRONG_THREAD (the bar is
// the user-interface thread's alone).
#pragma once

#include <windows.h>
//
#include <oleacc.h>

class CTabBar;

class CTabBarAccessible final : public IAccessible {
 public:
  // A new object with one reference, the caller's.
  explicit CTabBarAccessible(CTabBar* bar);
  CTabBarAccessible(const CTabBarAccessible&) = delete;
  CTabBarAccessible& operator=(const CTabBarAccessible&) = delete;

  // The bar is going: from now on every call fails.
  void Disconnect() { m_bar = nullptr; }

  // What a screen reader says of a tab's mark, in the UI's language (the
  // README's screen-reader section gives them with their meaning).
  static const wchar_t kNewsDescription[];
  static const wchar_t kMentionDescription[];

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch: none of it; clients use IAccessible's methods.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* id) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* id) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT id) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* id) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override;

 private:
  ~CTabBarAccessible() = default;

  // S_OK while the bar is there and this is its thread; RPC_E_DISCONNECTED
  // once it is gone, RPC_E_WRONG_THREAD off its thread.
  HRESULT CheckBar() const;
  // S_OK with the tab of a child id in *tab (-1 for the bar itself);
  // RPC_E_DISCONNECTED once the bar is gone, RPC_E_WRONG_THREAD off its
  // thread, E_INVALIDARG for an id that names no tab.
  HRESULT FindTab(const VARIANT& id, int* tab) const;
  // Selects the tab as a click does.
  HRESULT SelectTab(const VARIANT& id);

  LONG m_references;
  DWORD m_threadId;
  CTabBar* m_bar;  // null once the bar's window is gone
};
