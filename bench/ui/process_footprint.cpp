// The process's memory for the benchmarks. See process_footprint.h.
#include "process_footprint.h"

#include <windows.h>
#define PSAPI_VERSION 2
#include <psapi.h>

#include "allocation_counter_windows.h"

namespace {

long long HeapBusyBytes() {
  HANDLE heaps[64];
  const DWORD count = ::GetProcessHeaps(64, heaps);
  long long busy = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    if (!::HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (::HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
    }
    ::HeapUnlock(heaps[i]);
  }
  return busy;
}

}  // namespace

Footprint MeasureFootprint() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(),
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return {static_cast<long long>(counters.PrivateUsage),
          static_cast<long long>(counters.PagefileUsage), HeapBlocksHeld(), HeapBusyBytes()};
}
