// Resource and command identifiers of palaver.exe. Kept clear of the ranges
// plug-ins use for their own resources (1000-1099 and 129).
#pragma once

#define IDR_MAINFRAME 128
#define IDD_WINDOW_LIST_BAR 201
#define IDD_PLUGIN_LIST 202

#define IDC_WINDOW_LIST_LABEL 1005
#define IDC_WINDOW_LIST 1006  // the combo box plug-ins look for
#define IDC_WINDOW_COUNT 1007
#define IDC_PLUGIN_ROWS 1008

#define ID_APP_EXIT 0xE141
#define ID_HELP_PLUGINS 32771
