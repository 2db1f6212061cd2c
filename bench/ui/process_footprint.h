// The process's memory as the benchmarks that watch it for growth read it:
// what the system charges the process, the busy bytes of every heap and the
// blocks the program and framework.dll hold.
//
// Threads: any; each call walks every heap of the process under its lock.
#pragma once

struct Footprint {
  // PrivateUsage of GetProcessMemoryInfo; Wine 8 leaves it 0.
  long long privateBytes;
  // PagefileUsage of the same call: the committed private memory, which
  // Wine does fill in.
  long long pagefileBytes;
  // Blocks allocated and not freed by the program and framework.dll
  // (allocation_counter_windows.h).
  long long heldBlocks;
  // Busy bytes of every heap of the process, the system DLLs' included.
  long long heapBusyBytes;
};

Footprint MeasureFootprint();
