// Linked into a test build of the library only: the allocation numbered by
// VORNEL_TEST_FAIL_ALLOCATION fails, as when memory runs out.
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

bool ThisOneFails()
{
    static const int failing = [] {
        char value[16];
        return GetEnvironmentVariableA("VORNEL_TEST_FAIL_ALLOCATION", value, sizeof value) ? atoi(value) : 0;
    }();
    static int made = 0;
    return ++made == failing;
}

}  // namespace

void* operator new(size_t size)
{
    void* block = ThisOneFails() ? nullptr : malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return ThisOneFails() ? nullptr : malloc(size ? size : 1);
}

void operator delete(void* block) noexcept
{
    free(block);
}

void operator delete(void* block, size_t) noexcept
{
    free(block);
}
