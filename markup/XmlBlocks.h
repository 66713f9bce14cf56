#pragma once

#include <cstddef>
#include <cstdint>

// The element parse looks at the text through bit masks: for each block of 64 bytes, one
// 64-bit word per kind of byte it stops at, bit i standing for byte i of the block. The
// masks of a block are made in one pass with vector compares; the parse then finds the
// next "<", the end of a tag name or the ">" outside quotes with bit operations instead
// of visiting bytes.
namespace xmlscan {

struct BlockMasks {
    uint64_t lt;         // "<"
    uint64_t gt;         // ">"
    uint64_t nameStop;   // whitespace, "/" and ">": the bytes that end a tag name
    uint64_t dq;         // double quote
    uint64_t sq;         // single quote
    uint64_t dqInside;   // bit i set when the block holds an odd number of double quotes up to byte i
    uint64_t sqInside;   // the same for single quotes
    uint64_t nul;        // NUL, where the text ends for the parse
};

enum class BlockKernel { Portable, Sse2, Avx2 };

// Fills out[0..count) from the 64 x count bytes at text, all of which must be readable.
// Returns the OR of the blocks' NUL masks.
using ClassifyBlocks = uint64_t (*)(const char* text, std::size_t count, BlockMasks* out);

// Every kernel gives the same masks; they differ in the instructions they need.
bool BlockKernelAvailable(BlockKernel kernel);
// Parses from now on use `kernel` (tests and benchmarks compare them); false, changing
// nothing, when this processor cannot run it. By default the fastest available is used.
bool UseBlockKernel(BlockKernel kernel);
BlockKernel ActiveBlockKernel();
ClassifyBlocks ActiveClassifier();
ClassifyBlocks Classifier(BlockKernel kernel);   // null when not available

} // namespace xmlscan
