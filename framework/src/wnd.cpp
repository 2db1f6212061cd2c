// CWnd core: the handle map, the window-creation hook, the framework's window
// procedure, subclassing and the default handlers.
#include <mutex>

#include "afx_state.h"

namespace {

std::mutex g_mapLock;
std::unordered_map<HWND, CWnd*>& PermanentMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

bool IsImeClass(LPCSTR name) {
  return lstrcmpiA(name, "IME") == 0 || lstrcmpiA(name, "MSCTFIME UI") == 0;
}

}  // namespace

void AfxMapWindow(HWND hWnd, CWnd* pWnd) {
  std::lock_guard<std::mutex> lock(g_mapLock);
  PermanentMap()[hWnd] = pWnd;
}

void AfxUnmapWindow(HWND hWnd) {
  std::lock_guard<std::mutex> lock(g_mapLock);
  PermanentMap().erase(hWnd);
}

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd() {
  // A window must not outlive its object: its messages would reach freed memory.
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (!hWnd) return nullptr;
  std::lock_guard<std::mutex> lock(g_mapLock);
  auto it = PermanentMap().find(hWnd);
  return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  if (CWnd* p = FromHandlePermanent(hWnd)) return p;
  return AfxGetThreadState()->m_tempWnds.Get<CWnd>(hWnd);
}

BOOL CWnd::Attach(HWND hWnd) {
  if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
  m_hWnd = hWnd;
  AfxMapWindow(hWnd, this);
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (h) AfxUnmapWindow(h);
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  WNDPROC old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
  if (old != &AfxWndProc) m_pfnSuper = old;
  return TRUE;
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
  }
  return Detach();
}

// ---- creation -------------------------------------------------------------

// Attaches the object waiting in the thread state to the window being created,
// before the window gets its first message.
static LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
  AFX_THREAD_STATE* ts = AfxGetThreadState();
  if (code == HCBT_CREATEWND && ts->m_pWndInit) {
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    char name[256] = {};
    ::GetClassNameA(hWnd, name, sizeof name);
    bool wanted =
        ts->m_szInitClass[0] ? lstrcmpiA(name, ts->m_szInitClass) == 0 : !IsImeClass(name);
    if (wanted) {
      CWnd* pWnd = ts->m_pWndInit;
      ts->m_pWndInit = nullptr;
      pWnd->SubclassWindow(hWnd);
    }
  }
  return ::CallNextHookEx(ts->m_hHookCbt, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd, LPCSTR className) {
  AFX_THREAD_STATE* ts = AfxGetThreadState();
  if (!ts->m_hHookCbt) {
    ts->m_hHookCbt = ::SetWindowsHookExA(WH_CBT, &CbtFilterHook, nullptr, ::GetCurrentThreadId());
  }
  ts->m_pWndInit = pWnd;
  ts->m_szInitClass[0] = '\0';
  if (className && !IS_INTRESOURCE(className)) {
    lstrcpynA(ts->m_szInitClass, className, sizeof ts->m_szInitClass);
  }
}

bool AfxUnhookWindowCreate() {
  AFX_THREAD_STATE* ts = AfxGetThreadState();
  bool attached = ts->m_pWndInit == nullptr;
  ts->m_pWndInit = nullptr;
  return attached;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass)
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND hWndParent, HMENU hMenuOrId, LPVOID param) {
  CREATESTRUCTA cs = {};
  cs.dwExStyle = exStyle;
  cs.lpszClass = className;
  cs.lpszName = windowName;
  cs.style = style;
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.hwndParent = hWndParent;
  cs.hMenu = hMenuOrId;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = param;
  // No window exists yet, so a refusal leaves the object to its creator.
  if (!PreCreateWindow(cs)) return FALSE;
  AfxHookWindowCreate(this, cs.lpszClass);
  HWND hWnd =
      ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                        cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  AfxUnhookWindowCreate();
  return hWnd != nullptr;
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                  CWnd* pParentWnd, UINT id) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND hWnd = m_hWnd;
  // A window running our procedure detaches itself at WM_NCDESTROY, and the
  // object may be gone after that: touch nothing of it then.
  bool selfDetaching =
      ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc);
  BOOL ok = ::DestroyWindow(hWnd);
  if (!selfDetaching && !::IsWindow(hWnd)) Detach();
  return ok;
}

// ---- message handling ------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (!pWnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  AFX_THREAD_STATE* ts = AfxGetThreadState();
  MSG saved = ts->m_lastSentMsg;
  ts->m_lastSentMsg.hwnd = hWnd;
  ts->m_lastSentMsg.message = message;
  ts->m_lastSentMsg.wParam = wParam;
  ts->m_lastSentMsg.lParam = lParam;
  LRESULT result = pWnd->WindowProc(message, wParam, lParam);
  ts->m_lastSentMsg = saved;
  return result;
}

LRESULT CWnd::Default() {
  const MSG& m = AfxGetThreadState()->m_lastSentMsg;
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
  ON_WM_NCDESTROY()
END_MESSAGE_MAP()

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    // The handler may have destroyed this window and object: touch nothing.
    if (!OnCommand(wParam, lParam)) return FALSE;
    if (pResult) *pResult = 1;
    return TRUE;
  }
  if (message >= 0xC000) {
    // A registered message: the entries of ON_REGISTERED_MESSAGE (0xC000,
    // the variable's address in nSig), each variable read now.
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
      for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries;
           (entry = AfxFindMessageEntry(entry, 0xC000, 0, 0)) != nullptr; ++entry) {
        if (*reinterpret_cast<const UINT*>(entry->nSig) != message) continue;
        const LRESULT result =
            (this->*AfxMsgFnAs<LRESULT (CWnd::*)(WPARAM, LPARAM)>(entry->pfn))(wParam, lParam);
        if (pResult) *pResult = result;
        return TRUE;
      }
    }
    return FALSE;
  }
  if (message == WM_NOTIFY) return OnNotify(reinterpret_cast<NMHDR*>(lParam), pResult);
  const bool ctlColor = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
  const UINT lookup = ctlColor ? WM_CTLCOLOR : message;
  const AFX_MSGMAP_ENTRY* entry = nullptr;
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr && entry == nullptr;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    entry = AfxFindMessageEntry(map->lpEntries, lookup, 0, 0);
  }
  if (entry == nullptr) return FALSE;

  // As with commands, a handler may end with this object gone: after the
  // call only the result is written.
  LRESULT result = 0;
  switch (entry->nSig) {
    case AfxSig_vv:
      (this->*AfxMsgFnAs<void (CCmdTarget::*)()>(entry->pfn))();
      break;
    case AfxSig_vw:
      (this->*AfxMsgFnAs<void (CCmdTarget::*)(UINT)>(entry->pfn))(static_cast<UINT>(wParam));
      break;
    case AfxSig_is:
      result = (this->*AfxMsgFnAs<int (CWnd::*)(LPCREATESTRUCT)>(entry->pfn))(
          reinterpret_cast<LPCREATESTRUCT>(lParam));
      break;
    case AfxSig_vwii:
      (this->*AfxMsgFnAs<void (CWnd::*)(UINT, int, int)>(entry->pfn))(
          static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
          static_cast<short>(HIWORD(lParam)));
      break;
    case AfxSig_vW:
      (this->*AfxMsgFnAs<void (CWnd::*)(CWnd*)>(entry->pfn))(
          FromHandle(reinterpret_cast<HWND>(wParam)));
      break;
    case AfxSig_vwp:
      (this->*AfxMsgFnAs<void (CWnd::*)(UINT, CPoint)>(entry->pfn))(static_cast<UINT>(wParam),
                                                                    CPoint(lParam));
      break;
    case AfxSig_hDWw:
      // Only the WM_CTLCOLORxxx messages reach an entry of this signature.
      if (!ctlColor) return FALSE;
      result = reinterpret_cast<LRESULT>(
          (this->*AfxMsgFnAs<HBRUSH (CWnd::*)(CDC*, CWnd*, UINT)>(entry->pfn))(
              CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
              FromHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX));
      break;
    case AfxSig_vbWW: {
      const HWND activated = reinterpret_cast<HWND>(lParam);
      (this->*AfxMsgFnAs<void (CWnd::*)(BOOL, CWnd*, CWnd*)>(entry->pfn))(
          activated == m_hWnd, FromHandle(activated), FromHandle(reinterpret_cast<HWND>(wParam)));
      break;
    }
    case AfxSig_lwl:
      result = (this->*AfxMsgFnAs<LRESULT (CWnd::*)(WPARAM, LPARAM)>(entry->pfn))(wParam, lParam);
      break;
    case AfxSig_vWp:
      // Signed: the keyboard's (-1, -1) stays itself.
      (this->*AfxMsgFnAs<void (CWnd::*)(CWnd*, CPoint)>(entry->pfn))(
          FromHandle(reinterpret_cast<HWND>(wParam)),
          CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
      break;
    default:
      return FALSE;
  }
  if (pResult) *pResult = result;
  return TRUE;
}

BOOL CWnd::OnNotify(NMHDR* header, LRESULT* pResult) {
  if (header == nullptr) return FALSE;
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(map->lpEntries, WM_NOTIFY, header->code,
                                                        static_cast<UINT>(header->idFrom));
    if (entry == nullptr) continue;
    // As with commands, the handler may end with this object gone.
    LRESULT result = 0;
    (this->*AfxMsgFnAs<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(entry->pfn))(header, &result);
    if (pResult) *pResult = result;
    return TRUE;
  }
  return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  // A menu or an accelerator has no control window: its code is CN_COMMAND
  // (an accelerator's 1 included), so it never reaches a notification's
  // entry of the same id.
  const int code = lParam == 0 ? CN_COMMAND : HIWORD(wParam);
  if (id == 0) return FALSE;
  return OnCmdMsg(id, code, nullptr, nullptr);
}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnTimer(UINT) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
void CWnd::OnMDIActivate(BOOL, CWnd*, CWnd*) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }

void CWnd::OnNcDestroy() {
  // The thread loses its main window: its message loop ends.
  CWinThread* pThread = AfxGetThread();
  if (pThread && pThread->m_pMainWnd == this) {
    AfxPostQuitMessage(0);
    pThread->m_pMainWnd = nullptr;
  }
  Default();
  if (m_pfnSuper &&
      ::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc)) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  }
  m_pfnSuper = nullptr;
  Detach();
  PostNcDestroy();  // may delete this
}

void CWnd::PostNcDestroy() {}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.m_bFailed;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(MSG* pMsg) {
  for (HWND h = pMsg->hwnd; h;) {
    if (CWnd* pWnd = FromHandlePermanent(h)) {
      if (pWnd->PreTranslateMessage(pMsg)) return TRUE;
    }
    if (!(::GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;  // the top-level parent is done
    h = ::GetParent(h);
  }
  return FALSE;
}

// ---- wrappers ----------------------------------------------------------------

void CWnd::GetWindowText(CString& text) const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  ::GetWindowTextA(m_hWnd, text.GetBuffer(length), length + 1);
  text.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  HWND h = ::GetDlgItem(m_hWnd, id);
  if (!h) {
    text.Empty();
    return 0;
  }
  FromHandle(h)->GetWindowText(text);
  return text.GetLength();
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const {
  return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert));
}

void CWnd::ClientToScreen(LPRECT rect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(rect));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(rect) + 1);
}

void CWnd::ScreenToClient(LPRECT rect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(rect));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(rect) + 1);
}

// ---- CMenu -------------------------------------------------------------------

CMenu::CMenu() : m_hMenu(nullptr) {}
CMenu::~CMenu() {
  if (m_hMenu) ::DestroyMenu(Detach());
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
  return hMenu ? AfxGetThreadState()->m_tempMenus.Get<CMenu>(hMenu) : nullptr;
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (!hMenu || m_hMenu) return FALSE;
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  m_hMenu = nullptr;
  return h;
}
