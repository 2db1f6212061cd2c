// Resource identifiers of the manager page: its dialog template and the
// controls in it. Shared by the resource script and the code.
#pragma once

#define IDD_MANAGER_PAGE 1003

#define IDC_MANAGER_SERVER_GROUP 1002
#define IDC_MANAGER_MESSAGE_GROUP 1003
#define IDC_MANAGER_CHANNEL_GROUP 1004
#define IDC_MANAGER_STATUS 1006
#define IDC_MANAGER_CONNECT 1007
#define IDC_MANAGER_ADDRESS 1009
#define IDC_MANAGER_SERVER_LOG 1010
#define IDC_MANAGER_CHANNELS 1011
#define IDC_MANAGER_REFRESH 1012
#define IDC_MANAGER_NICKNAME 1013
#define IDC_MANAGER_JOIN 1015
