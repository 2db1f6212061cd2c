// Counts the C heap calls of the program and framework.dll by rewriting their
// msvcrt.dll imports at start-up. See allocation_counter_windows.h.
#include "allocation_counter_windows.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

std::atomic<std::uint64_t> g_allocations{0};
std::atomic<std::int64_t> g_held{0};
std::atomic<int> g_imports{0};

using MallocFn = void*(__cdecl*)(std::size_t);
using CallocFn = void*(__cdecl*)(std::size_t, std::size_t);
using ReallocFn = void*(__cdecl*)(void*, std::size_t);
using FreeFn = void(__cdecl*)(void*);

MallocFn g_malloc;
CallocFn g_calloc;
ReallocFn g_realloc;
FreeFn g_free;

void* __cdecl CountedMalloc(std::size_t size) {
  void* block = g_malloc(size);
  if (block != nullptr) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    g_held.fetch_add(1, std::memory_order_relaxed);
  }
  return block;
}

void* __cdecl CountedCalloc(std::size_t count, std::size_t size) {
  void* block = g_calloc(count, size);
  if (block != nullptr) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    g_held.fetch_add(1, std::memory_order_relaxed);
  }
  return block;
}

void* __cdecl CountedRealloc(void* old, std::size_t size) {
  void* block = g_realloc(old, size);
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (old == nullptr && block != nullptr) g_held.fetch_add(1, std::memory_order_relaxed);
  if (old != nullptr && size == 0) g_held.fetch_sub(1, std::memory_order_relaxed);
  return block;
}

void __cdecl CountedFree(void* block) {
  if (block != nullptr) g_held.fetch_sub(1, std::memory_order_relaxed);
  g_free(block);
}

// Points the module's import of name from msvcrt.dll at replacement.
void Rewrite(HMODULE module, const char* name, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return;
  auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
  for (; import->Name != 0; ++import) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), "msvcrt.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
      DWORD old = 0;
      ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
      g_imports.fetch_add(1);
    }
  }
}

struct CInstall {
  CInstall() {
    HMODULE crt = ::GetModuleHandleA("msvcrt.dll");
    if (crt == nullptr) return;
    g_malloc = reinterpret_cast<MallocFn>(reinterpret_cast<void*>(::GetProcAddress(crt, "malloc")));
    g_calloc = reinterpret_cast<CallocFn>(reinterpret_cast<void*>(::GetProcAddress(crt, "calloc")));
    g_realloc =
        reinterpret_cast<ReallocFn>(reinterpret_cast<void*>(::GetProcAddress(crt, "realloc")));
    g_free = reinterpret_cast<FreeFn>(reinterpret_cast<void*>(::GetProcAddress(crt, "free")));
    if (!g_malloc || !g_calloc || !g_realloc || !g_free) return;
    for (HMODULE module : {::GetModuleHandleA(nullptr), ::GetModuleHandleA("framework.dll")}) {
      if (module == nullptr) continue;
      Rewrite(module, "malloc", reinterpret_cast<void*>(&CountedMalloc));
      Rewrite(module, "calloc", reinterpret_cast<void*>(&CountedCalloc));
      Rewrite(module, "realloc", reinterpret_cast<void*>(&CountedRealloc));
      Rewrite(module, "free", reinterpret_cast<void*>(&CountedFree));
    }
  }
};

// Before main: blocks allocated earlier are freed through the same function,
// so only the held count can be off, by what start-up allocated.
const CInstall g_install;

}  // namespace

std::uint64_t HeapAllocations() { return g_allocations.load(); }
std::int64_t HeapBlocksHeld() { return g_held.load(); }
int CountedImports() { return g_imports.load(); }
