#include "AllocationCounter.h"

std::size_t heapAllocationCount()
{
    return 0;
}

bool heapAllocationsCounted()
{
    return false;
}
