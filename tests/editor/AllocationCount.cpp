// Counts the allocations of each thread, for the tests that a path allocates nothing.
#include "tests/editor/EditorTestSupport.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local std::uint64_t t_allocations = 0;
}

std::uint64_t editor_test::threadAllocations()
{
    return t_allocations;
}

void* operator new(std::size_t size)
{
    ++t_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
