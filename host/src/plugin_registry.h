// The plug-ins of this process: loading their DLLs, the registrations they
// make while loading, starting them and unloading them. UI thread only
// (RegisterPlugin arrives on it too, inside LoadLibrary).
#pragma once

#include <string>
#include <vector>

#include "palaver/plugin.h"

struct PluginRecord {
  std::string path;
  HMODULE module;
  CPalaverPlugin* plugin;
  std::string author;
  std::string version;
};

class PluginRegistry {
 public:
  static PluginRegistry& Instance();

  // Loads each DLL in order. A DLL that does not load, is loaded already or
  // registers nothing adds a message naming it to Failures() and is left
  // unloaded; the rest go on.
  void Load(const std::vector<std::string>& paths);
  // RegisterPlugin's work; see plugin.h.
  int Register(CPalaverPlugin* plugin, const char* author, const char* version);
  // OnStart on each plug-in, in load order.
  void StartAll();
  // OnStop on each plug-in, in load order.
  void StopAll();
  // Frees the DLLs, newest first; their plug-in objects go with them.
  void UnloadAll();

  const std::vector<PluginRecord>& Plugins() const { return m_plugins; }
  // The failure messages gathered since the last call.
  std::vector<std::string> TakeFailures();

 private:
  void LoadOne(const std::string& path);

  std::vector<PluginRecord> m_plugins;
  std::vector<std::string> m_failures;
  // The DLL inside LoadLibrary now; registrations belong to it.
  const std::string* m_loadingPath = nullptr;
  std::vector<PluginRecord> m_pending;
};
