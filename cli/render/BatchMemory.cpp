#include "cli/render/BatchMemory.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Blocks up to 32 MiB (the most it takes) come from the heap rather than mappings of
    // their own, returned on free; up to 128 MiB free at the heap's top stays there.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}
