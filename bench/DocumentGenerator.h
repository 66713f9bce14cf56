#pragma once

// Deterministic inputs for the benchmarks: the same seed gives the same bytes on every
// machine, so figures from different runs parse the same documents.

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench {

// A small fixed generator (not std::mt19937 with its distributions, whose output may
// differ between standard libraries).
class CRandom {
public:
    explicit CRandom(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next()
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33);
    }
    // Uniform in [low, high].
    int Range(int low, int high) { return low + static_cast<int>(Next() % static_cast<uint32_t>(high - low + 1)); }

private:
    uint64_t state;
};

// A configuration-like document of at least `targetBytes`: a declaration, a root with
// sections, groups and settings, elements 3 to 5 deep carrying 2 to 6 attributes, now and
// then an entity in a value or a text, a comment every few hundred elements.
std::string ConfigurationDocument(std::size_t targetBytes, uint64_t seed);

// Counts the start tags of a text as the generator writes them (every "<" followed by a
// name byte); used to check that every parser saw every element.
std::size_t CountStartTags(const std::string& text);

} // namespace bench
