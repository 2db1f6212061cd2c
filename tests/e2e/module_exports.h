// Finding a C++ function that a loaded module exports by the signature its
// header declares ("GetServerLink()"), not by the compiler's mangled name, so
// the lookup follows the declaration and the toolchain's own name mangling.
#pragma once

#include <windows.h>

#include "plugin/module_api.h"

// The export of module whose demangled name is signature, or null.
FARPROC FindCppExport(HMODULE module, const char* signature);

// The module's GetServerLink export, or null.
inline decltype(&GetServerLink) FindGetServerLink(HMODULE module) {
  return reinterpret_cast<decltype(&GetServerLink)>(
      reinterpret_cast<void*>(FindCppExport(module, "GetServerLink()")));
}
