#include "platform/memory/Heap.h"

#include <malloc.h>

namespace vexel::memory {

void boundHeapGrowth() {
    mallopt(M_ARENA_MAX, maxArenas);
    // Fixing it also fixes the size from which blocks are mapped on their own
    // at the allocator's first value, 128 KiB: both stop following the largest
    // block freed so far.
    mallopt(M_TRIM_THRESHOLD, trimThreshold);
}

void releaseFreeHeap() {
    malloc_trim(0);
}

} // namespace vexel::memory
