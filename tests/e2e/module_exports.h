// Finding a C++ function that a loaded module exports by the signature its
// header declares ("GetServerLink()"), not by the compiler's mangled name, so
// the lookup follows the declaration and the toolchain's own name mangling.
#pragma once

#include <windows.h>

// The export of module whose demangled name is signature, or null.
FARPROC FindCppExport(HMODULE module, const char* signature);
