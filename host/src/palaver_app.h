// The host application: starts the socket library, the common controls and
// the rich edit library, opens the main frame, loads and starts the
// plug-ins; at exit destroys its windows, then unloads the plug-ins.
// UI thread only.
#pragma once

#include <string>
#include <vector>

#include "framework/afxwin.h"

class CMainFrame;

class CPalaverApp : public CWinApp {
 public:
  CPalaverApp();
  BOOL InitInstance() override;
  int ExitInstance() override;

  // Everything InitInstance does but showing the load failures: the main
  // window shown, then the plug-ins loaded and started. FALSE when the main
  // window cannot be made.
  BOOL StartHost(const std::vector<std::string>& pluginPaths, int cmdShow);
  // Stops the plug-ins and destroys the windows (the message loop then ends).
  void CloseHost();
  // Unloads the plug-ins and the libraries StartHost took.
  void ReleaseHost();
  CMainFrame* MainFrame() const;

 private:
  HMODULE m_hRichEdit;
  bool m_socketsStarted;
};
