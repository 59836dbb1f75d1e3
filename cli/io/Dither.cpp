#include "cli/io/Dither.h"

#include "engine/simd/InstructionSets.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define CRUMLET_DITHER_FOUR_AT_ONCE 1
#endif

namespace
{
std::atomic<DitherSteps> g_widestSteps{DitherSteps::FourMultiplyingNatively};

// std::lrint without the library call: the processor's conversion, which rounds as lrint does
// (to nearest, ties to even, in the default rounding mode). `x` is in range.
long roundToNearest(double x)
{
#if defined(__SSE2__) && defined(__x86_64__)
    return static_cast<long>(_mm_cvtsd_si64(_mm_set_sd(x)));
#else
    return std::lrint(x);
#endif
}

#if defined(CRUMLET_DITHER_FOUR_AT_ONCE)
// The lanes' 64-bit products modulo 2^64. Written with the compiler's vector operator: where
// AVX-512 (DQ, VL) is enabled it is one instruction, with AVX2 alone it is formed from 32-bit
// halves; the products are the same.
typedef std::uint64_t Lanes64 __attribute__((vector_size(32)));
[[gnu::always_inline]] __attribute__((target("avx2"))) inline __m256i multiply64(__m256i a, __m256i b)
{
    return reinterpret_cast<__m256i>(reinterpret_cast<Lanes64>(a) * reinterpret_cast<Lanes64>(b));
}

// The loop of quantize() four samples at a time, on processors with 256-bit integer vectors:
// four draws of the sequence side by side, each value reached by the same operations, so that
// every output is the one the single-sample loop gives. For outputs of up to 24 bits, whose
// steps fit 32-bit integers. Returns the samples done; `state` moves past their draws.
// Inlined into each of the two copies below, for AVX2 and for AVX-512.
[[gnu::always_inline]] __attribute__((target("avx2"))) inline std::size_t quantizeFourSideBySide(
    const float* samples, std::int32_t* into, std::size_t count, std::uint64_t& state, double scale, int shift)
{
    constexpr std::uint64_t kIncrement = 0x9e3779b97f4a7c15ull;
    const __m256i mix1 = _mm256_set1_epi64x(static_cast<long long>(0xbf58476d1ce4e5b9ull));
    const __m256i mix2 = _mm256_set1_epi64x(static_cast<long long>(0x94d049bb133111ebull));
    const __m256i fourDraws = _mm256_set1_epi64x(static_cast<long long>(4 * kIncrement));
    __m256i next = _mm256_set_epi64x(static_cast<long long>(state + 4 * kIncrement),
                                     static_cast<long long>(state + 3 * kIncrement),
                                     static_cast<long long>(state + 2 * kIncrement),
                                     static_cast<long long>(state + kIncrement));
    // A whole number below 2^52 as a double: its bits under those of 2^52, less 2^52.
    const __m256i bitsOf2To52 = _mm256_set1_epi64x(0x4330000000000000ll);
    const __m256d twoTo52 = _mm256_set1_pd(0x1.0p52);
    const __m256i low32 = _mm256_set1_epi64x(0xffffffffll);
    const __m256d unit = _mm256_set1_pd(0x1.0p-32), scaleBy = _mm256_set1_pd(scale);
    const __m256d below = _mm256_set1_pd(-scale - 1.0), above = _mm256_set1_pd(scale);
    const __m128i lowest = _mm_set1_epi32(static_cast<int>(-scale)), highest = _mm_set1_epi32(static_cast<int>(scale) - 1);
    const __m256i lowDwords = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    const __m128i shiftBy = _mm_cvtsi32_si128(shift);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4)
    {
        __m256i z = next;
        z = multiply64(_mm256_xor_si256(z, _mm256_srli_epi64(z, 30)), mix1);
        z = multiply64(_mm256_xor_si256(z, _mm256_srli_epi64(z, 27)), mix2);
        z = _mm256_xor_si256(z, _mm256_srli_epi64(z, 31));
        next = _mm256_add_epi64(next, fourDraws);
        const __m256d high =
            _mm256_sub_pd(_mm256_castsi256_pd(_mm256_or_si256(_mm256_srli_epi64(z, 32), bitsOf2To52)), twoTo52);
        const __m256d low =
            _mm256_sub_pd(_mm256_castsi256_pd(_mm256_or_si256(_mm256_and_si256(z, low32), bitsOf2To52)), twoTo52);
        const __m256d tpdf = _mm256_mul_pd(_mm256_sub_pd(high, low), unit);
        const __m256d steps = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(samples + i)), scaleBy), tpdf);
        // std::clamp's bounds (a NaN is zeroed below), the conversion that rounds as lrint
        // does, the integer bounds.
        const __m256d bounded = _mm256_min_pd(_mm256_max_pd(steps, below), above);
        __m128i q = _mm_min_epi32(_mm_max_epi32(_mm256_cvtpd_epi32(bounded), lowest), highest);
        const __m256i notANumber = _mm256_castpd_si256(_mm256_cmp_pd(steps, steps, _CMP_UNORD_Q));
        q = _mm_andnot_si128(_mm256_castsi256_si128(_mm256_permutevar8x32_epi32(notANumber, lowDwords)), q);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(into + i), _mm_sll_epi32(q, shiftBy));
    }
    state += i * kIncrement;
    return i;
}

__attribute__((target("avx2"))) std::size_t quantizeFourAtOnce(const float* samples, std::int32_t* into,
                                                              std::size_t count, std::uint64_t& state, double scale,
                                                              int shift)
{
    return quantizeFourSideBySide(samples, into, count, state, scale, shift);
}

__attribute__((target("avx2,avx512f,avx512dq,avx512vl"))) std::size_t quantizeFourAtOnceMultiplyingNatively(
    const float* samples, std::int32_t* into, std::size_t count, std::uint64_t& state, double scale, int shift)
{
    return quantizeFourSideBySide(samples, into, count, state, scale, shift);
}
#endif
} // namespace

void limitDitherSteps(DitherSteps widest)
{
    g_widestSteps = widest;
}

TpdfDither::TpdfDither(int bits, std::uint64_t seed)
    : m_bits(bits), m_step(1.0 / static_cast<double>(1ull << (bits - 1))), m_state(seed ^ 0x6469746865720000ull)
{
}

void TpdfDither::quantize(const float* samples, std::int32_t* into, std::size_t count)
{
    const double scale = 1.0 / m_step;
    const auto lowest = static_cast<long>(-scale), highest = static_cast<long>(scale) - 1;
    const int shift = 32 - m_bits;
    std::size_t i = 0;
#if defined(CRUMLET_DITHER_FOUR_AT_ONCE)
    const DitherSteps widest = g_widestSteps.load(std::memory_order_relaxed);
    if (m_bits <= 24 && widest == DitherSteps::FourMultiplyingNatively &&
        processorRuns(InstructionSet::Avx512DqVl))
        i = quantizeFourAtOnceMultiplyingNatively(samples, into, count, m_state, scale, shift);
    else if (m_bits <= 24 && widest != DitherSteps::OneAtATime && processorRuns(InstructionSet::Avx2))
        i = quantizeFourAtOnce(samples, into, count, m_state, scale, shift);
#endif
    for (; i < count; ++i)
    {
        // Both uniform values from the halves of one draw.
        const std::uint64_t r = splitMix64(m_state);
        const double tpdf = (static_cast<double>(r >> 32) - static_cast<double>(r & 0xffffffffu)) * 0x1.0p-32;
        const double steps = samples[i] * scale + tpdf;
        const long q = std::isnan(steps) ? 0 : std::clamp(roundToNearest(std::clamp(steps, -scale - 1.0, scale)), lowest, highest);
        into[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(q) << shift);
    }
}
