#include "markup/XmlBlocks.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#define ORRERY_X86 1
#include <immintrin.h>
#endif

namespace xmlscan {

namespace {

// Class bits of a byte; the vector kernels compute the same byte from two 16-entry
// tables, one indexed by the low and one by the high nibble, ANDed together.
enum : uint8_t {
    kLt = 1,
    kGt = 2,
    kDq = 4,
    kSq = 8,
    kControlSpace = 16,   // tab, LF, CR
    kSpaceOrSlash = 32,   // space, "/"
    kNul = 64,
    kNameStopBits = kGt | kControlSpace | kSpaceOrSlash,
};

constexpr std::array<uint8_t, 256> MakeByteClasses()
{
    std::array<uint8_t, 256> c{};
    c['<'] = kLt;
    c['>'] = kGt;
    c['"'] = kDq;
    c['\''] = kSq;
    c['\t'] = c['\n'] = c['\r'] = kControlSpace;
    c[' '] = c['/'] = kSpaceOrSlash;
    c[0] = kNul;
    return c;
}

constexpr std::array<uint8_t, 256> kByteClasses = MakeByteClasses();

// Low-nibble and high-nibble tables: a byte's class is lowTable[b & 15] & highTable[b >> 4].
// Each bit is set in one high-nibble row only, and in the low-nibble entries of exactly
// the bytes of that row that have it, so the AND gives no stray bits.
constexpr uint8_t kLowTable[16] = {
    kSpaceOrSlash | kNul,   // 0x20 space, 0x00 NUL
    0, kDq, 0, 0, 0, 0, kSq,
    0, kControlSpace, kControlSpace, 0, kLt, kControlSpace, kGt,
    kSpaceOrSlash,          // 0x2F "/"
};
constexpr uint8_t kHighTable[16] = {
    kControlSpace | kNul, 0, kDq | kSq | kSpaceOrSlash, kLt | kGt, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

// The two tables twice over, for 32-byte loads.
struct WideTables {
    alignas(32) uint8_t low[32];
    alignas(32) uint8_t high[32];
};

constexpr WideTables MakeWideTables()
{
    WideTables t{};
    for (int i = 0; i < 32; ++i) {
        t.low[i] = kLowTable[i & 15];
        t.high[i] = kHighTable[i & 15];
    }
    return t;
}

constexpr WideTables kWideTables = MakeWideTables();

constexpr bool TablesAgree()
{
    for (int b = 0; b < 256; ++b)
        if ((kLowTable[b & 15] & kHighTable[b >> 4]) != kByteClasses[static_cast<std::size_t>(b)])
            return false;
    return true;
}
static_assert(TablesAgree(), "the nibble tables must classify every byte as the byte table does");

inline uint64_t PrefixXor(uint64_t x)
{
    x ^= x << 1;
    x ^= x << 2;
    x ^= x << 4;
    x ^= x << 8;
    x ^= x << 16;
    x ^= x << 32;
    return x;
}

uint64_t ClassifyPortable(const char* text, std::size_t count, BlockMasks* out)
{
    uint64_t anyNul = 0;
    for (std::size_t b = 0; b < count; ++b, text += 64) {
        BlockMasks m{};
        for (int i = 0; i < 64; ++i) {
            const uint8_t c = kByteClasses[static_cast<uint8_t>(text[i])];
            const uint64_t bit = uint64_t{1} << i;
            if (c & kLt)
                m.lt |= bit;
            if (c & kGt)
                m.gt |= bit;
            if (c & kNameStopBits)
                m.nameStop |= bit;
            if (c & kDq)
                m.dq |= bit;
            if (c & kSq)
                m.sq |= bit;
            if (c & kNul)
                m.nul |= bit;
        }
        m.dqInside = PrefixXor(m.dq);
        m.sqInside = PrefixXor(m.sq);
        anyNul |= m.nul;
        out[b] = m;
    }
    return anyNul;
}

#if defined(ORRERY_X86)

uint64_t ClassifySse2(const char* text, std::size_t count, BlockMasks* out)
{
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i gt = _mm_set1_epi8('>');
    const __m128i dq = _mm_set1_epi8('"');
    const __m128i sq = _mm_set1_epi8('\'');
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i slash = _mm_set1_epi8('/');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    uint64_t anyNul = 0;
    for (std::size_t b = 0; b < count; ++b, text += 64) {
        BlockMasks m{};
        for (int part = 0; part < 4; ++part) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * part));
            const __m128i isGt = _mm_cmpeq_epi8(v, gt);
            const __m128i stop = _mm_or_si128(
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, slash)), isGt),
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, tab), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, cr)));
            const int shift = 16 * part;
            auto bits = [shift](__m128i x) {
                return static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(x))) << shift;
            };
            m.lt |= bits(_mm_cmpeq_epi8(v, lt));
            m.gt |= bits(isGt);
            m.nameStop |= bits(stop);
            m.dq |= bits(_mm_cmpeq_epi8(v, dq));
            m.sq |= bits(_mm_cmpeq_epi8(v, sq));
            m.nul |= bits(_mm_cmpeq_epi8(v, zero));
        }
        m.dqInside = PrefixXor(m.dq);
        m.sqInside = PrefixXor(m.sq);
        anyNul |= m.nul;
        out[b] = m;
    }
    return anyNul;
}

// Lambdas do not take on a function's target attribute, so the AVX2 kernel is written
// out without them.

__attribute__((target("avx2,pclmul"))) inline uint64_t PrefixXorClmul(uint64_t x)
{
    return static_cast<uint64_t>(
        _mm_cvtsi128_si64(_mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(x)), _mm_set1_epi8(-1), 0)));
}

__attribute__((target("avx2"))) inline uint64_t Bit7Mask(__m256i low, __m256i high)
{
    return static_cast<uint32_t>(_mm256_movemask_epi8(low)) |
           (static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(high))) << 32);
}

__attribute__((target("avx2,pclmul"))) uint64_t ClassifyAvx2(const char* text, std::size_t count, BlockMasks* out)
{
    const __m256i lowTable = _mm256_load_si256(reinterpret_cast<const __m256i*>(kWideTables.low));
    const __m256i highTable = _mm256_load_si256(reinterpret_cast<const __m256i*>(kWideTables.high));
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i stopBits = _mm256_set1_epi8(static_cast<char>(kNameStopBits));
    const __m256i zero = _mm256_setzero_si256();
    uint64_t anyNul = 0;
    for (std::size_t b = 0; b < count; ++b, text += 64) {
        const __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text));
        const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 32));
        const __m256i c0 = _mm256_and_si256(
            _mm256_shuffle_epi8(lowTable, _mm256_and_si256(v0, nibble)),
            _mm256_shuffle_epi8(highTable, _mm256_and_si256(_mm256_srli_epi16(v0, 4), nibble)));
        const __m256i c1 = _mm256_and_si256(
            _mm256_shuffle_epi8(lowTable, _mm256_and_si256(v1, nibble)),
            _mm256_shuffle_epi8(highTable, _mm256_and_si256(_mm256_srli_epi16(v1, 4), nibble)));
        // A 16-bit shift moves the wanted class bit of every byte to that byte's top bit,
        // which is what movemask collects.
        BlockMasks& m = out[b];
        m.lt = Bit7Mask(_mm256_slli_epi16(c0, 7), _mm256_slli_epi16(c1, 7));
        m.gt = Bit7Mask(_mm256_slli_epi16(c0, 6), _mm256_slli_epi16(c1, 6));
        m.dq = Bit7Mask(_mm256_slli_epi16(c0, 5), _mm256_slli_epi16(c1, 5));
        m.sq = Bit7Mask(_mm256_slli_epi16(c0, 4), _mm256_slli_epi16(c1, 4));
        m.nul = Bit7Mask(_mm256_slli_epi16(c0, 1), _mm256_slli_epi16(c1, 1));
        m.nameStop = ~Bit7Mask(_mm256_cmpeq_epi8(_mm256_and_si256(c0, stopBits), zero),
                               _mm256_cmpeq_epi8(_mm256_and_si256(c1, stopBits), zero));
        m.dqInside = PrefixXorClmul(m.dq);
        m.sqInside = PrefixXorClmul(m.sq);
        anyNul |= m.nul;
    }
    return anyNul;
}

#endif // ORRERY_X86

BlockKernel BestKernel()
{
#if defined(ORRERY_X86)
    if (BlockKernelAvailable(BlockKernel::Avx2))
        return BlockKernel::Avx2;
    return BlockKernel::Sse2;
#else
    return BlockKernel::Portable;
#endif
}

// ORRERY_BLOCK_KERNEL (portable, sse2 or avx2) pins the kernel when this
// processor can run it, so a fuzzer or a measurement can take one it would not choose.
BlockKernel StartKernel()
{
    if (const char* wanted = std::getenv("ORRERY_BLOCK_KERNEL")) {
        const std::pair<const char*, BlockKernel> names[] = {
            {"portable", BlockKernel::Portable},
            {"sse2", BlockKernel::Sse2},
            {"avx2", BlockKernel::Avx2},
        };
        for (const auto& [name, kernel] : names)
            if (std::strcmp(wanted, name) == 0 && BlockKernelAvailable(kernel))
                return kernel;
    }
    return BestKernel();
}

BlockKernel& Active()
{
    static BlockKernel kernel = StartKernel();
    return kernel;
}

ClassifyBlocks& ActiveFunction()
{
    static ClassifyBlocks function = Classifier(Active());
    return function;
}

} // namespace

bool BlockKernelAvailable(BlockKernel kernel)
{
    switch (kernel) {
    case BlockKernel::Portable:
        return true;
#if defined(ORRERY_X86)
    case BlockKernel::Sse2:
        return true;
    case BlockKernel::Avx2:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("pclmul");
#endif
    default:
        return false;
    }
}

ClassifyBlocks Classifier(BlockKernel kernel)
{
    if (!BlockKernelAvailable(kernel))
        return nullptr;
    switch (kernel) {
#if defined(ORRERY_X86)
    case BlockKernel::Sse2: return ClassifySse2;
    case BlockKernel::Avx2: return ClassifyAvx2;
#endif
    default: return ClassifyPortable;
    }
}

bool UseBlockKernel(BlockKernel kernel)
{
    const ClassifyBlocks function = Classifier(kernel);
    if (!function)
        return false;
    Active() = kernel;
    ActiveFunction() = function;
    return true;
}

BlockKernel ActiveBlockKernel()
{
    return Active();
}

ClassifyBlocks ActiveClassifier()
{
    return ActiveFunction();
}

} // namespace xmlscan
