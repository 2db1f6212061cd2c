// An allocation made to fail, for the paths that must survive one: linking
// failing_allocation.cpp replaces the program's operator new (plain and
// nothrow) with malloc-based ones that fail on request. A plain new then
// throws std::bad_alloc, a nothrow new gives null. Per thread.
#pragma once

#include <cstddef>

// Makes the next operator new on this thread fail: only one of exactly size
// bytes, or the very next one with kAnySize.
constexpr std::size_t kAnySize = 0;
void FailNextAllocation(std::size_t size = kAnySize);
// Whether the armed failure has happened (and so is no longer armed).
bool AllocationFailed();
// Allocations minus releases through operator new/delete on this thread
// since it started: equal before and after a call that leaks nothing.
long LiveAllocations();
