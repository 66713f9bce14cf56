#pragma once

// Counts the heap allocations the process makes while counting is on, and the heap it
// holds. The harness replaces malloc, calloc, realloc and free (operator new and delete
// reach them too), so allocations inside the C libraries under test are counted as well
// as our own. Held bytes are the usable sizes of the blocks (malloc_usable_size).

#include <cstddef>
#include <cstdint>

namespace bench {

struct AllocationTally {
    uint64_t calls = 0;   // malloc, calloc and realloc calls
    uint64_t bytes = 0;   // bytes asked for by them, a realloc counting its new size
    int64_t held = 0;     // heap held at the end less heap held at the start
    int64_t peak = 0;     // the most held above the start at any moment
};

void StartCountingAllocations();
AllocationTally StopCountingAllocations();

} // namespace bench
