// Command-line and plugins-folder parsing for the plug-in list to load.
#include "command_line.h"

#include <windows.h>

#include <algorithm>

std::vector<std::string> SplitCommandLine(const char* commandLine) {
  std::vector<std::string> arguments;
  if (!commandLine) return arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (const char* p = commandLine; *p; ++p) {
    char c = *p;
    if (c == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) arguments.push_back(current);
  return arguments;
}

std::vector<std::string> PluginPathsFromArguments(const std::vector<std::string>& arguments) {
  std::vector<std::string> paths;
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == "--plugin") paths.push_back(arguments[++i]);
  }
  return paths;
}

std::vector<std::string> PluginPathsInFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((folder + "\\*.dll").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  for (std::string& name : names) name = folder + "\\" + name;
  return names;
}
