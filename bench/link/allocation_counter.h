// Counts every heap allocation the benchmark process makes (operator new in
// all its forms, and malloc, calloc and realloc), so the benchmark can show
// how many a received frame costs. glibc only.
#pragma once

#include <cstdint>

std::uint64_t HeapAllocations();
