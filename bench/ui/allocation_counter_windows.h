// The Windows side of the benchmarks' allocation counter: HeapAllocations
// (bench/link/allocation_counter.h) counts every malloc, calloc and realloc
// that the benchmark program and framework.dll make, operator new included
// (it calls malloc). Under mingw these go through each module's import of
// msvcrt.dll, so the counter rewrites those imports when the program starts.
// Allocations made inside the system's own DLLs (the controls' storage, the
// window manager) are not counted.
#pragma once

#include <cstdint>

#include "bench/link/allocation_counter.h"

// Blocks allocated and not yet freed by the counted modules.
std::int64_t HeapBlocksHeld();
// How many import entries were rewritten (0: nothing is being counted).
int CountedImports();
