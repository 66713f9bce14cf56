#include <cstdio>
#include <cstdlib>

#include "tests/reliability/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string problem = fuzzcheck::CheckMarkupProgram(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "property failed: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
