// Application, thread and module state: CWinThread (message pump with
// pre-translation), CWinApp, the module state with its resource handle, and
// extension modules linked into the resource search chain.
//
// Threads: a CWinThread object serves the thread that constructed it
// (AfxGetThread answers per thread). The module state and the search chain
// are shared by the whole process; the chain is changed under a lock by the
// loader's thread and read on the UI thread.
#pragma once

#include "framework/afxwnd.h"

class AFX_API CWinThread : public CObject {
 public:
  // The thread's main window: quitting it ends the thread's message loop.
  CWnd* m_pMainWnd;

  CWinThread();
  ~CWinThread() override;

  virtual BOOL InitInstance();
  virtual int ExitInstance();
  // Pumps messages until WM_QUIT, calling OnIdle whenever the queue is empty.
  virtual int Run();
  // Waits for one message and handles it; FALSE on WM_QUIT.
  virtual BOOL PumpMessage();
  // Walks the message from its window to the top-level parent
  // (CWnd::PreTranslateMessage at each, which for a dialog runs the dialog
  // manager); nonzero when consumed.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Idle work (deleting temporary wrappers); FALSE when there is no more.
  virtual BOOL OnIdle(LONG count);

 protected:
  MSG m_msgCur;
};

class AFX_API CWinApp : public CWinThread {
 public:
  // The title used as the caption of AfxMessageBox.
  LPCSTR m_pszAppName;
  HINSTANCE m_hInstance;
  LPSTR m_lpCmdLine;
  int m_nCmdShow;

  // One application object per process; a null name takes the program's
  // file name.
  explicit CWinApp(LPCSTR appName = nullptr);
  ~CWinApp() override;

  int ExitInstance() override;
  virtual int DoMessageBox(LPCSTR prompt, UINT type, UINT idPrompt);

 private:
  CString m_strAppName;
};

class CDynLinkLibrary;

struct AFX_API AFX_MODULE_STATE {
  CWinApp* m_pCurrentWinApp;
  HINSTANCE m_hCurrentInstanceHandle;
  HINSTANCE m_hCurrentResourceHandle;
  LPCSTR m_lpszCurrentAppName;
  // Head of the resource search chain (newest first).
  CDynLinkLibrary* m_pLibraryList;
};

struct AFX_EXTENSION_MODULE {
  BOOL bInitialized;
  HMODULE hModule;
  HMODULE hResource;
};

// Links an extension module's resources into the search chain while it
// lives; deleted by AfxTermExtensionModule.
class AFX_API CDynLinkLibrary : public CObject {
 public:
  explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system = FALSE);
  ~CDynLinkLibrary() override;

  HMODULE m_hModule;
  HMODULE m_hResource;
  BOOL m_bSystem;
  CDynLinkLibrary* m_pNextDLL;
};

AFX_API AFX_MODULE_STATE* AfxGetModuleState();
AFX_API CWinApp* AfxGetApp();
AFX_API CWinThread* AfxGetThread();
AFX_API HINSTANCE AfxGetInstanceHandle();
AFX_API HINSTANCE AfxGetResourceHandle();
AFX_API void AfxSetResourceHandle(HINSTANCE hResource);
// The current resource handle when it holds the resource, else the first
// extension module in the chain that does, else the current resource handle.
AFX_API HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);
AFX_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Deletes the module's CDynLinkLibrary records (every record when all is set).
AFX_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all = FALSE);

AFX_API void AfxPostQuitMessage(int exitCode);
// A message box owned by the main window with the application's title as
// caption; the button pressed.
AFX_API int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT idHelp = 0);
// The name of a registered window class with these attributes, registered on
// first use; valid until the next call on the same thread.
AFX_API LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR hCursor = nullptr,
                                   HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
// Frees the calling thread's temporary wrappers (FromHandle results).
AFX_API void AfxDeleteTempMaps();
// The program's entry: runs the application object's InitInstance and Run.
AFX_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR cmdLine, int cmdShow);
