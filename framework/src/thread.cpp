// Thread state, CWinThread's message pump and CWinApp: the application object,
// its message box and the program entry.
#include "afx_state.h"

namespace {

DWORD g_tlsIndex = TLS_OUT_OF_INDEXES;

}  // namespace

AFX_THREAD_STATE* AfxGetThreadState() {
  auto* ts = static_cast<AFX_THREAD_STATE*>(::TlsGetValue(g_tlsIndex));
  if (!ts) {
    ts = new AFX_THREAD_STATE;
    ::TlsSetValue(g_tlsIndex, ts);
  }
  return ts;
}

// Thread states live from a thread's first framework call until it ends.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      g_tlsIndex = ::TlsAlloc();
      return g_tlsIndex != TLS_OUT_OF_INDEXES;
    case DLL_THREAD_DETACH: {
      auto* ts = static_cast<AFX_THREAD_STATE*>(::TlsGetValue(g_tlsIndex));
      if (ts) {
        if (ts->m_hHookCbt) ::UnhookWindowsHookEx(ts->m_hHookCbt);
        delete ts;
        ::TlsSetValue(g_tlsIndex, nullptr);
      }
      break;
    }
    default:
      break;
  }
  return TRUE;
}

void AfxDeleteTempMaps() {
  AFX_THREAD_STATE* ts = AfxGetThreadState();
  ts->m_tempWnds.Clear();
  ts->m_tempGdi.Clear();
  ts->m_tempDCs.Clear();
  ts->m_tempMenus.Clear();
}

CWinThread* AfxGetThread() { return AfxGetThreadState()->m_pCurrentWinThread; }

// ---- CWinThread ----------------------------------------------------------------

CWinThread::CWinThread() : m_pMainWnd(nullptr), m_msgCur() {
  AfxGetThreadState()->m_pCurrentWinThread = this;
}

CWinThread::~CWinThread() {
  AFX_THREAD_STATE* ts = AfxGetThreadState();
  if (ts->m_pCurrentWinThread == this) ts->m_pCurrentWinThread = nullptr;
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

BOOL CWinThread::OnIdle(LONG count) {
  if (count == 0) AfxDeleteTempMaps();
  return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) { return CWnd::WalkPreTranslateTree(pMsg); }

BOOL CWinThread::PumpMessage() {
  if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;  // WM_QUIT
  if (!PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessageA(&m_msgCur);
  }
  return TRUE;
}

int CWinThread::Run() {
  for (;;) {
    MSG peek;
    LONG idleCount = 0;
    while (!::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE) && OnIdle(idleCount++)) {
    }
    if (!PumpMessage()) return ExitInstance();
  }
}

// ---- CWinApp -------------------------------------------------------------------

CWinApp::CWinApp(LPCSTR appName)
    : m_pszAppName(nullptr),
      m_hInstance(::GetModuleHandleA(nullptr)),
      m_lpCmdLine(nullptr),
      m_nCmdShow(SW_SHOWNORMAL) {
  if (appName) {
    m_strAppName = appName;
  } else {
    // The program's file name without folder and extension.
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    LPCSTR name = path;
    for (LPCSTR p = path; *p; p = ::CharNextA(p)) {
      if (*p == '\\' || *p == '/') name = p + 1;
    }
    m_strAppName = name;
    LPSTR buffer = m_strAppName.GetBuffer(0);
    LPSTR dot = nullptr;
    for (LPSTR p = buffer; *p; p = ::CharNextA(p)) {
      if (*p == '.') dot = p;
    }
    m_strAppName.ReleaseBuffer(dot ? static_cast<int>(dot - buffer) : -1);
  }
  m_pszAppName = m_strAppName;
  AFX_MODULE_STATE* state = AfxGetModuleState();
  state->m_pCurrentWinApp = this;
  state->m_hCurrentInstanceHandle = m_hInstance;
  state->m_hCurrentResourceHandle = m_hInstance;
  state->m_lpszCurrentAppName = m_pszAppName;
}

CWinApp::~CWinApp() {
  AFX_MODULE_STATE* state = AfxGetModuleState();
  if (state->m_pCurrentWinApp == this) {
    state->m_pCurrentWinApp = nullptr;
    state->m_lpszCurrentAppName = nullptr;
  }
}

int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }

int CWinApp::DoMessageBox(LPCSTR prompt, UINT type, UINT) {
  // Owned by the main window (or its last popup) so it is modal to the program.
  HWND hOwner = nullptr;
  CWinThread* pThread = AfxGetThread();
  if (pThread && pThread->m_pMainWnd && ::IsWindow(pThread->m_pMainWnd->m_hWnd)) {
    hOwner = ::GetLastActivePopup(pThread->m_pMainWnd->m_hWnd);
  }
  return ::MessageBoxA(hOwner, prompt, m_pszAppName, type);
}

CWinApp* AfxGetApp() { return AfxGetModuleState()->m_pCurrentWinApp; }

int AfxMessageBox(LPCSTR text, UINT type, UINT idHelp) {
  if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(text, type, idHelp);
  return ::MessageBoxA(nullptr, text, nullptr, type);
}

void AfxPostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  AFX_THREAD_STATE* ts = AfxGetThreadState();
  HINSTANCE hInst = AfxGetInstanceHandle();
  wsprintfA(ts->m_szClassName, "Afx:%p:%x:%p:%p:%p", static_cast<void*>(hInst), classStyle,
            static_cast<void*>(hCursor), static_cast<void*>(hbrBackground),
            static_cast<void*>(hIcon));
  WNDCLASSA wc = {};
  if (::GetClassInfoA(hInst, ts->m_szClassName, &wc)) return ts->m_szClassName;
  wc.style = classStyle;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = hInst;
  wc.hIcon = hIcon;
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.lpszClassName = ts->m_szClassName;
  ::RegisterClassA(&wc);
  return ts->m_szClassName;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = hInstance;
  app->m_lpCmdLine = cmdLine;
  app->m_nCmdShow = cmdShow;
  AFX_MODULE_STATE* state = AfxGetModuleState();
  state->m_hCurrentInstanceHandle = hInstance;
  state->m_hCurrentResourceHandle = hInstance;
  if (!app->InitInstance()) {
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  return app->Run();
}
