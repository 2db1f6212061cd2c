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

IMPLEMENT_DYNAMIC(CWnd, CObject)

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

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* pParent) {
  HWND hCtrl = ::GetDlgItem(pParent->m_hWnd, id);
  return hCtrl ? SubclassWindow(hCtrl) : FALSE;
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

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam));
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
             static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_SETFOCUS:
      OnSetFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(static_cast<UINT>(wParam), CPoint(lParam));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<UINT>(wParam), CPoint(lParam));
      return 0;
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      return Default();
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                                  FromHandle(reinterpret_cast<HWND>(lParam)),
                                                  message - WM_CTLCOLORMSGBOX));
    default:
      return DefWindowProc(message, wParam, lParam);
  }
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

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
