// velmo.dll's entry point and its exported entry points. Loading links the
// module's resources into the host's resource search and registers the one
// plug-in object; unloading takes the resources out again. The exported
// entry points reach the link and the manager console by the one path
// plug-in object → frame → page host → member, and find nothing before the
// frame exists or after it is gone.
//
// Threads: DllMain on the loader's thread; the entry points on the host's
// user-interface thread.
#include <cstdarg>

#include "link/log_sink.h"
#include "plugin/module_api.h"
#include "plugin/orla_frame.h"
#include "plugin/orla_plugin.h"

namespace {

AFX_EXTENSION_MODULE g_extensionModule = {};
COrlaPlugin g_plugin;

const char kAuthor[] = "Velmo developers";
const char kVersion[] = "Velmo Ver.1.0b";

// The manager console as a sink, or null when there is none.
ILogSink* ManagerSink() {
  COrlaFrame* frame = g_plugin.Frame();
  return frame != nullptr ? frame->PageHost().ManagerLogSink() : nullptr;
}

}  // namespace

COrlaPlugin& ThePlugin() { return g_plugin; }

CServerLink* GetServerLink() {
  COrlaFrame* frame = g_plugin.Frame();
  return frame != nullptr ? frame->PageHost().GetServerLink() : nullptr;
}

void ManagerLog(COLORREF colour, const char* format, ...) {
  const LogColour logColour = colour;
  va_list args;
  va_start(args, format);
  SendLogLine(ManagerSink(), &logColour, format, args);
  va_end(args);
}

void ManagerLogWhite(const char* format, ...) {
  va_list args;
  va_start(args, format);
  SendLogLine(ManagerSink(), nullptr, format, args);
  va_end(args);
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      if (!AfxInitExtensionModule(g_extensionModule, hInstance)) return FALSE;
      // The framework owns the record and frees it with the module's term.
      new CDynLinkLibrary(g_extensionModule);
      g_plugin.m_hModule = hInstance;
      RegisterPlugin(&g_plugin, kAuthor, kVersion);
      return TRUE;
    case DLL_PROCESS_DETACH:
      AfxTermExtensionModule(g_extensionModule);
      return TRUE;
    default:
      return TRUE;
  }
}
