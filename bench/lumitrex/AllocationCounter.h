#pragma once

#include <cstddef>

// Heap allocations made by the process so far (malloc, calloc, realloc and
// everything built on them). Sanitizer builds own the allocator, so there
// nothing is counted and heapAllocationsCounted() is false.
std::size_t heapAllocationCount();
bool heapAllocationsCounted();
