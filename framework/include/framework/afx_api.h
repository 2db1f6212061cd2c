// Export macro and the Win32 headers every framework header needs.
// framework.dll is built with FRAMEWORK_BUILD defined; the host, plug-ins and
// tests import the same declarations.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <richedit.h>

#ifdef FRAMEWORK_BUILD
#define AFX_API __declspec(dllexport)
#else
#define AFX_API __declspec(dllimport)
#endif

// Frame style bit kept in the window style: add the document name to the title.
#define FWS_ADDTOTITLE 0x00008000L

// Standard command and window identifiers of the framework.
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDM_FIRST_MDICHILD 0xFF00
#define ID_WINDOW_NEW 0xE130
#define ID_WINDOW_ARRANGE 0xE131
#define ID_WINDOW_CASCADE 0xE132
#define ID_WINDOW_TILE_HORZ 0xE133
#define ID_WINDOW_TILE_VERT 0xE134
#define ID_WINDOW_SPLIT 0xE135
#define AFX_IDM_WINDOW_FIRST 0xE130
#define AFX_IDM_WINDOW_LAST 0xE13F
#define AFX_IDW_REBAR 0xE804
#define AFX_IDW_DIALOGBAR 0xE805
