#include "bench/AllocationCounter.h"

#include <malloc.h>

#include <cstdlib>

// glibc's own entry points: the replacements below count and pass the call on.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);
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

inline void Hold(int64_t bytes)
{
    if (counting) {
        tally.held += bytes;
        if (tally.held > tally.peak)
            tally.peak = tally.held;
    }
}

inline int64_t Usable(void* pointer)
{
    return pointer ? static_cast<int64_t>(malloc_usable_size(pointer)) : 0;
}

} // namespace

extern "C" void* malloc(std::size_t size) noexcept
{
    Count(size);
    void* result = __libc_malloc(size);
    Hold(Usable(result));
    return result;
}

extern "C" void* calloc(std::size_t count, std::size_t size) noexcept
{
    Count(count * size);
    void* result = __libc_calloc(count, size);
    Hold(Usable(result));
    return result;
}

extern "C" void* realloc(void* pointer, std::size_t size) noexcept
{
    Count(size);
    const int64_t before = Usable(pointer);
    void* result = __libc_realloc(pointer, size);
    if (result || size == 0)
        Hold(Usable(result) - before);
    return result;
}

extern "C" void free(void* pointer) noexcept
{
    Hold(-Usable(pointer));
    __libc_free(pointer);
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
