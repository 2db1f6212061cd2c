// The exported plug-in interface: the base class's defaults and RegisterPlugin.
#include "palaver/plugin.h"
#include "plugin_registry.h"

CPalaverPlugin::CPalaverPlugin() = default;
CPalaverPlugin::~CPalaverPlugin() = default;
void CPalaverPlugin::OnStart() {}
void CPalaverPlugin::OnStop() {}
void CPalaverPlugin::OnHostNotify(DWORD, DWORD, DWORD) {}
void CPalaverPlugin::OnEnterUser(unsigned long, TAG_PV_USERINFO*) {}
void CPalaverPlugin::OnMessage(unsigned long, const char*, const char*, int) {}
void CPalaverPlugin::OnRenameUser(unsigned long, TAG_PV_RENAMEINFO*) {}
void CPalaverPlugin::OnLeaveUser(unsigned long, TAG_PV_USERINFO*) {}
void CPalaverPlugin::OnCloseClient(unsigned long) {}
void CPalaverPlugin::OnInputHook(unsigned long, CString*) {}

int RegisterPlugin(CPalaverPlugin* plugin, const char* author, const char* version) {
  return PluginRegistry::Instance().Register(plugin, author, version);
}
