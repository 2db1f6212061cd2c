// Resource, control and command identifiers of palaver.exe. Its resources
// (128, 201, 202) keep clear of the ids plug-ins give their own (129 and
// 1000-1099); the controls (1005-1008) are children of the host's own
// dialogs, where a plug-in's never meet them. The window list's combo box
// is PALAVER_IDC_WINDOW_LIST of palaver/plugin.h, which plug-ins look for.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_WINDOW_LIST_BAR 201
#define IDD_PLUGIN_LIST 202

#define IDC_WINDOW_LIST_LABEL 1005
#define IDC_WINDOW_COUNT 1007
#define IDC_PLUGIN_ROWS 1008

#define ID_APP_EXIT 0xE141
#define ID_HELP_PLUGINS 32771
