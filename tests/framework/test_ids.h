// Resource identifiers of the framework tests' templates (test program and
// resource DLL). Used by the .rc files and the tests alike.
#pragma once

#define IDD_FORM 100         // test program: edits, check box, static
#define IDD_ONLY_IN_DLL 200  // resource DLL only
#define IDD_IN_BOTH 300      // both; each carries a marker control of its own
#define IDC_NAME 1001
#define IDC_CHECK 1002
#define IDC_LABEL 1003
#define IDC_NICK 1004
#define IDC_MARK_EXE 1010
#define IDC_MARK_DLL 1011
#define IDD_CONTROLS 400      // test program: one control of each wrapper
#define IDC_BITMAP 1020
#define IDC_LIST 1021
#define IDC_RICH 1022
#define IDS_CONNECT 500       // "接続", for the UTF-8 resource pipeline
