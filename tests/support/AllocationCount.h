// A count of the allocations each thread makes through operator new (every form: plain,
// array, aligned, nothrow), for the tests that a path allocates nothing. A test program
// that links AllocationCount.cpp replaces the global operator new with the counting one.
#pragma once

#include <cstdint>

namespace crumlet_test
{
// Allocations made on the calling thread since it started.
std::uint64_t threadAllocations();
} // namespace crumlet_test
