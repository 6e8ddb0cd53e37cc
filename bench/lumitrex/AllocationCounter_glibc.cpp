#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>

// Every heap allocation, also those of OpenSSL and ICU, goes through malloc:
// the benchmark wraps glibc's allocator to count them.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
}

namespace {
std::atomic<std::size_t> allocationCount { 0 };
}

std::size_t heapAllocationCount()
{
    return allocationCount.load(std::memory_order_relaxed);
}

bool heapAllocationsCounted()
{
    return true;
}

extern "C" void* malloc(std::size_t size)
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size)
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* memory, std::size_t size)
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(memory, size);
}
