// Resource identifiers of the page host: its dialog template and the
// controls in it. Shared by the resource script and the code.
#pragma once

#define IDD_PAGE_HOST 1000

#define IDC_PAGE_HOST_TOP_LINE 1000
#define IDC_PAGE_HOST_TAB_BAR 1001
#define IDC_PAGE_HOST_SECOND_LINE 1002
