// Opening a web link with the system's handler for its scheme
// (ShellExecuteEx "open", waiting until the handler has taken it), on a
// thread of its own: a handler that is slow to start never holds the
// window that asked. Windows only.
//
// Threads: any; returns at once.
#pragma once

#include <cstddef>

// Opens the length bytes at link exactly as they are (code page 932, as the
// console shows them). The caller has checked that they are a web link
// (web_link.h) no longer than kMaxOpenedLinkBytes. false when the opening
// thread could not be started.
bool OpenWebLink(const char* link, std::size_t length);
