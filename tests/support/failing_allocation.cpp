// The program's operator new and delete, failing on request. See
// failing_allocation.h.
#include "tests/support/failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_armed = false;
thread_local std::size_t t_size = kAnySize;
thread_local bool t_failed = false;
thread_local long t_live = 0;

void* Allocate(std::size_t size) {
  if (t_armed && (t_size == kAnySize || t_size == size)) {
    t_armed = false;
    t_failed = true;
    return nullptr;
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) ++t_live;
  return block;
}

void Release(void* block) {
  if (block == nullptr) return;
  --t_live;
  std::free(block);
}

}  // namespace

void FailNextAllocation(std::size_t size) {
  t_armed = true;
  t_size = size;
  t_failed = false;
}

bool AllocationFailed() { return t_failed; }

long LiveAllocations() { return t_live; }

void* operator new(std::size_t size) {
  if (void* block = Allocate(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
