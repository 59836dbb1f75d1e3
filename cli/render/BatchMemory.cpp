#include "cli/render/BatchMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Blocks up to 64 MiB come from the heap (not mappings of their own, returned on free);
    // up to 128 MiB free at the heap's top stays there.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}
