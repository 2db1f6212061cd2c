// Host start-up and shut-down.
#include "palaver_app.h"

#include <winsock2.h>

#include "command_line.h"
#include "host_ids.h"
#include "main_frame.h"
#include "plugin_registry.h"

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

// Asks the plug-ins to stop before the main frame goes.
class CHostFrame : public CMainFrame {
 protected:
  afx_msg void OnClose() {
    PluginRegistry::Instance().StopAll();
    CMainFrame::OnClose();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostFrame, CMainFrame)
  ON_WM_CLOSE()
END_MESSAGE_MAP()

}  // namespace

CPalaverApp::CPalaverApp() : CWinApp("Palaver"), m_hRichEdit(nullptr), m_socketsStarted(false) {}

BOOL CPalaverApp::InitInstance() {
  std::vector<std::string> paths = PluginPathsFromArguments(SplitCommandLine(m_lpCmdLine));
  if (paths.empty()) paths = PluginPathsInFolder(ProgramFolder() + "\\plugins");
  if (!StartHost(paths, m_nCmdShow)) return FALSE;
  for (const std::string& failure : PluginRegistry::Instance().TakeFailures()) {
    AfxMessageBox(failure.c_str(), MB_OK | MB_ICONWARNING);
  }
  return TRUE;
}

BOOL CPalaverApp::StartHost(const std::vector<std::string>& pluginPaths, int cmdShow) {
  WSADATA wsa;
  m_socketsStarted = ::WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES};
  ::InitCommonControlsEx(&icc);
  // Registers the "RICHEDIT" class that plug-in pages use.
  m_hRichEdit = ::LoadLibraryA("riched32.dll");

  auto* frame = new CHostFrame;
  if (!frame->LoadFrame(IDR_MAINFRAME)) return FALSE;  // a failed frame deleted itself
  m_pMainWnd = frame;
  frame->ShowWindow(cmdShow);
  frame->UpdateWindow();

  PluginRegistry& registry = PluginRegistry::Instance();
  registry.Load(pluginPaths);
  registry.StartAll();
  return TRUE;
}

CMainFrame* CPalaverApp::MainFrame() const { return static_cast<CMainFrame*>(m_pMainWnd); }

void CPalaverApp::CloseHost() {
  if (!m_pMainWnd) return;
  PluginRegistry::Instance().StopAll();
  m_pMainWnd->DestroyWindow();
}

void CPalaverApp::ReleaseHost() {
  PluginRegistry::Instance().UnloadAll();
  if (m_hRichEdit) ::FreeLibrary(m_hRichEdit);
  m_hRichEdit = nullptr;
  if (m_socketsStarted) ::WSACleanup();
  m_socketsStarted = false;
}

int CPalaverApp::ExitInstance() {
  // The windows are gone by now (the loop ended with the main window).
  CloseHost();
  ReleaseHost();
  return CWinApp::ExitInstance();
}
