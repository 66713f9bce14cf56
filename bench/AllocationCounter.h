#pragma once

// Counts the heap allocations the process makes while counting is on. The harness
// replaces malloc, calloc and realloc (operator new reaches them too), so allocations
// inside the C libraries under test are counted as well as our own.

#include <cstddef>
#include <cstdint>

namespace bench {

struct AllocationTally {
    uint64_t calls = 0;
    uint64_t bytes = 0;   // bytes asked for
};

void StartCountingAllocations();
AllocationTally StopCountingAllocations();

} // namespace bench
