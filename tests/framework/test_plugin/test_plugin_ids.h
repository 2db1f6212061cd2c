// Resource identifiers of the test plug-in.
#pragma once

#define IDD_TEST_PAGE 1000  // lives only in the plug-in DLL
#define IDC_PAGE_TEXT 1001
#define IDC_PAGE_LABEL 1002
#define IDC_PAGE_BUTTON 1003
