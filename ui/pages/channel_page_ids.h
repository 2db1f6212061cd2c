// Resource identifiers of the channel page: its dialog templates and the
// controls in it. Shared by the resource script and the code.
#pragma once

#define IDD_CHANNEL_PAGE 1009

#define IDC_CHANNEL_CONSOLE 1000
#define IDC_CHANNEL_USERS 1001
#define IDC_CHANNEL_INPUT 1002
#define IDC_CHANNEL_LEAVE 1003
#define IDC_CHANNEL_TOPIC 1005

// A private page: the same console, input line and button (its close
// button), without the topic and the user list.
#define IDD_PRIVATE_PAGE 1010
