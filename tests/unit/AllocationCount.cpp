#include "AllocationCount.h"

#include <cstdlib>
#include <new>

namespace {
long made = 0;  // the tests that read it run one thread
}

long allocationCount::Made()
{
    return made;
}

void* operator new(std::size_t size)
{
    ++made;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
