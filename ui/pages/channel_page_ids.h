// Resource identifiers of the channel page: its dialog template and the
// controls in it. Shared by the resource script and the code.
#pragma once

#define IDD_CHANNEL_PAGE 1009

#define IDC_CHANNEL_CONSOLE 1000
#define IDC_CHANNEL_USERS 1001
#define IDC_CHANNEL_INPUT 1002
#define IDC_CHANNEL_LEAVE 1003
#define IDC_CHANNEL_TOPIC 1005
