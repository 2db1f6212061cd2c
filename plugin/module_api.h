// What velmo.dll exports besides its plug-in object: the link and the manager
// console, reached from the module's plug-in object. Each finds nothing (null,
// or the line dropped) before the manager frame exists and after it is gone.
#pragma once

#include "framework/afxwin.h"
#include "link/printf_format.h"

class CServerLink;

#ifdef VELMO_MODULE_BUILD
#define VELMO_API __declspec(dllexport)
#else
#define VELMO_API __declspec(dllimport)
#endif

// The one server link, or null.
VELMO_API CServerLink* GetServerLink();

extern "C" {
// Formats one line (into a 1024-byte buffer, cut on a character boundary,
// a null format giving "\r\n") and appends it to the manager console in
// colour, or in white.
VELMO_API void ManagerLog(COLORREF colour, const char* format, ...) LINK_PRINTF_FORMAT(2, 3);
VELMO_API void ManagerLogWhite(const char* format, ...) LINK_PRINTF_FORMAT(1, 2);
}
