// Lets the compiler check the arguments of the link's printf-style functions
// against their format, with the dialect the C runtime in use formats by.
#pragma once

#if defined(__MINGW32__)
#include <cstdio>
#define LINK_PRINTF_FORMAT(format_index, first_arg) \
  __attribute__((format(__MINGW_PRINTF_FORMAT, format_index, first_arg)))
#else
#define LINK_PRINTF_FORMAT(format_index, first_arg) \
  __attribute__((format(printf, format_index, first_arg)))
#endif
