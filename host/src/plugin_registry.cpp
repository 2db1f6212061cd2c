// Plug-in DLLs: loading with clear messages for the ones that fail,
// registration during load, start, stop and unload.
#include "plugin_registry.h"

#include <algorithm>

namespace {

std::string SystemMessage(DWORD error) {
  char text[256] = {};
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                        text[length - 1] == ' ' || text[length - 1] == '.')) {
    text[--length] = '\0';
  }
  return text;
}

}  // namespace

PluginRegistry& PluginRegistry::Instance() {
  static PluginRegistry registry;
  return registry;
}

void PluginRegistry::Load(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) LoadOne(path);
}

void PluginRegistry::LoadOne(const std::string& path) {
  HMODULE already = ::GetModuleHandleA(path.c_str());
  if (already && std::any_of(m_plugins.begin(), m_plugins.end(),
                             [&](const PluginRecord& r) { return r.module == already; })) {
    m_failures.push_back("Plug-in \"" + path + "\" is loaded already.");
    return;
  }
  m_pending.clear();
  m_loadingPath = &path;
  // No error box from the system: the failure is reported below, once.
  UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = ::LoadLibraryA(path.c_str());
  DWORD error = ::GetLastError();
  ::SetErrorMode(oldMode);
  m_loadingPath = nullptr;
  if (!module) {
    m_pending.clear();  // whatever it registered went with it
    m_failures.push_back("Plug-in \"" + path + "\" could not be loaded: " + SystemMessage(error) +
                         " (error " + std::to_string(error) + ").");
    return;
  }
  if (m_pending.empty()) {
    m_failures.push_back("\"" + path + "\" registered no plug-in and was unloaded.");
    ::FreeLibrary(module);
    return;
  }
  for (PluginRecord& record : m_pending) {
    record.module = module;
    m_plugins.push_back(record);
  }
  m_pending.clear();
}

int PluginRegistry::Register(CPalaverPlugin* plugin, const char* author, const char* version) {
  if (!plugin || !m_loadingPath) return 0;
  auto same = [&](const PluginRecord& r) { return r.plugin == plugin; };
  if (std::any_of(m_pending.begin(), m_pending.end(), same) ||
      std::any_of(m_plugins.begin(), m_plugins.end(), same)) {
    return 0;
  }
  m_pending.push_back(
      {*m_loadingPath, nullptr, plugin, author ? author : "", version ? version : ""});
  return 1;
}

void PluginRegistry::StartAll() {
  for (const PluginRecord& record : m_plugins) record.plugin->OnStart();
}

void PluginRegistry::StopAll() {
  for (const PluginRecord& record : m_plugins) record.plugin->OnStop();
}

void PluginRegistry::UnloadAll() {
  // One FreeLibrary per DLL, even when it registered several objects.
  std::vector<HMODULE> modules;
  for (const PluginRecord& record : m_plugins) {
    if (std::find(modules.begin(), modules.end(), record.module) == modules.end()) {
      modules.push_back(record.module);
    }
  }
  m_plugins.clear();
  for (auto it = modules.rbegin(); it != modules.rend(); ++it) ::FreeLibrary(*it);
}

std::vector<std::string> PluginRegistry::TakeFailures() {
  std::vector<std::string> taken;
  taken.swap(m_failures);
  return taken;
}
