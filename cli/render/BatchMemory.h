// A batch renders file after file, each allocating and freeing the same buffers (the
// meters' state, the parked output, the effect's memory). Freed memory is kept for the
// next file instead of going back to the system, to be zeroed and faulted in again.
#pragma once

// Process-wide; called once before a batch starts. Does nothing where the C library has
// no such setting.
void keepFreedMemoryForReuse();
