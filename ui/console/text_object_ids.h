// The text object model's document interface id (IID_ITextDocument), which
// the toolchain's libraries do not define: the console asks its control for
// the document by it, and so do the tests and benchmarks that reach past it.
#pragma once

#include <windows.h>

inline const IID kTextDocumentIid = {
    0x8CC497C0, 0xA1DF, 0x11CE, {0x80, 0x98, 0x00, 0xAA, 0x00, 0x47, 0xBE, 0x5D}};
