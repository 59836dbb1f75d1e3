#include "tests/support/AllocationCount.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace
{
thread_local std::uint64_t t_allocations = 0;
}

std::uint64_t crumlet_test::threadAllocations()
{
    return t_allocations;
}

// The nothrow forms of the standard library call these.
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

void* operator new(std::size_t size, std::align_val_t alignment)
{
    ++t_allocations;
    const auto align = static_cast<std::size_t>(alignment);
    // aligned_alloc takes a size that is a multiple of the alignment.
    const std::size_t rounded = (std::max<std::size_t>(size, 1) + align - 1) / align * align;
    if (void* p = std::aligned_alloc(align, rounded))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return operator new(size, alignment);
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

void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
