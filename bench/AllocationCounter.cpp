#include "bench/AllocationCounter.h"

#include <cstdlib>

// glibc's own entry points: the replacements below count and pass the call on, and
// memory from them goes back through glibc's free as usual.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
}

namespace {

// Plain counters, not atomics: the measured parses run on one thread, and an atomic
// increment would slow the parsers that allocate per node.
bool counting = false;
bench::AllocationTally tally;

inline void Count(std::size_t bytes)
{
    if (counting) {
        ++tally.calls;
        tally.bytes += bytes;
    }
}

} // namespace

extern "C" void* malloc(std::size_t size) noexcept
{
    Count(size);
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) noexcept
{
    Count(count * size);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, std::size_t size) noexcept
{
    Count(size);
    return __libc_realloc(pointer, size);
}

namespace bench {

void StartCountingAllocations()
{
    tally = AllocationTally{};
    counting = true;
}

AllocationTally StopCountingAllocations()
{
    counting = false;
    return tally;
}

} // namespace bench
