// Which plug-in DLLs to load: every "--plugin PATH" of the command line, in
// order, or when there is none every *.dll in the plugins folder beside the
// program, by name. Pure text work; any thread.
#pragma once

#include <string>
#include <vector>

// Splits a command line into arguments: blanks separate, double quotes group.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// The plug-in paths named by the arguments (a trailing "--plugin" without a
// path is ignored); empty when there is none.
std::vector<std::string> PluginPathsFromArguments(const std::vector<std::string>& arguments);

// The *.dll files of folder, sorted by name, as full paths.
std::vector<std::string> PluginPathsInFolder(const std::string& folder);
