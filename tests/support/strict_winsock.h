// WinSock as Windows documents it, in a test process under Wine. Wine's
// WinSock passes calls to the host's sockets and so forgives what Windows
// refuses; these answers put the refusals back, so that code leaning on
// Wine's kindness fails a test here rather than on a user's machine:
// - a send or receive on a socket whose connect has not finished fails with
//   WSAENOTCONN (Wine waits for the connect, or says "would block");
// - a receive after the socket's receiving side was shut down fails with
//   WSAESHUTDOWN at once (Wine still hands out what had arrived);
// - closing a socket with unread data resets the connection, and what was
//   still in its send buffer is lost.
// They are installed into a module's import table, so they answer that
// module's own calls (the test program's, or a loaded velmo.dll's) and
// nothing needs to be built into the product. The test program's peers and
// server are answered too where they live in the patched module: Windows
// treats them the same way.
//
// Windows only. Install on the user-interface thread before the module opens
// a socket; the answers themselves may run on any thread.
#pragma once

#include <winsock2.h>

// Routes module's imports of send, recv, shutdown and closesocket through the
// strict answers. The number of imports routed now (0 when the module
// imports none of them, or they were routed already).
int InstallStrictWinsock(HMODULE module);
