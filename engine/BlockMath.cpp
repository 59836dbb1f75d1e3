#include "engine/BlockMath.h"

#include "engine/simd/SoftFlush.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define CRUMLET_SSE 1
#endif

namespace blockmath
{
void applyGain(float* data, unsigned frames, float gain)
{
    for (unsigned i = 0; i < frames; ++i)
        data[i] = flushedProduct(data[i], gain);
}

void applyRamp(float* data, unsigned frames, float from, float to)
{
    const float step = (to - from) / static_cast<float>(frames);
    for (unsigned i = 0; i < frames; ++i)
        data[i] = flushedProduct(data[i], flushedSum(from, flushedProduct(static_cast<float>(i), step)));
}

void mix(float* out, const float* dryBuffer, unsigned frames, float wetFrom, float wetTo, float dryFrom, float dryTo)
{
    if (wetFrom == wetTo && dryFrom == dryTo)
    {
        for (unsigned i = 0; i < frames; ++i)
            out[i] = flushedSum(flushedProduct(wetTo, out[i]), flushedProduct(dryTo, dryBuffer[i]));
        return;
    }
    const float wetStep = (wetTo - wetFrom) / static_cast<float>(frames);
    const float dryStep = (dryTo - dryFrom) / static_cast<float>(frames);
    for (unsigned i = 0; i < frames; ++i)
    {
        const float fi = static_cast<float>(i);
        out[i] = flushedSum(flushedProduct(flushedSum(wetFrom, flushedProduct(fi, wetStep)), out[i]),
                            flushedProduct(flushedSum(dryFrom, flushedProduct(fi, dryStep)), dryBuffer[i]));
    }
}

namespace
{
// Carries the peak p and the check sum c (any non-finite sample makes it non-zero) over
// data[first, frames).
float peakAndCheckFrom(const float* data, unsigned first, unsigned frames, float p, float c, bool& nonFinite)
{
    for (unsigned i = first; i < frames; ++i)
    {
        const float a = std::fabs(data[i]);
        if (a > p)
            p = a;
        c += data[i] * 0.f;
    }
    nonFinite = c != 0.f;
    return p;
}
} // namespace

#if CRUMLET_SSE
float peakAndCheck(const float* data, unsigned frames, bool& nonFinite)
{
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 zero = _mm_setzero_ps();
    // Two accumulators each, so consecutive iterations do not wait on one another.
    __m128 peakA = zero, peakB = zero, checkA = zero, checkB = zero;
    unsigned i = 0;
    for (; i + 8 <= frames; i += 8)
    {
        const __m128 x = _mm_loadu_ps(data + i);
        const __m128 y = _mm_loadu_ps(data + i + 4);
        // maxps keeps the running peak when a sample is NaN.
        peakA = _mm_max_ps(_mm_and_ps(x, absMask), peakA);
        peakB = _mm_max_ps(_mm_and_ps(y, absMask), peakB);
        // x * 0 is 0 for every finite x and NaN otherwise.
        checkA = _mm_add_ps(checkA, _mm_mul_ps(x, zero));
        checkB = _mm_add_ps(checkB, _mm_mul_ps(y, zero));
    }
    alignas(16) float lanes[4], checks[4];
    _mm_store_ps(lanes, _mm_max_ps(peakA, peakB));
    _mm_store_ps(checks, _mm_add_ps(checkA, checkB));
    float p = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
    float c = checks[0] + checks[1] + checks[2] + checks[3];
    return peakAndCheckFrom(data, i, frames, p, c, nonFinite);
}
#else
float peakAndCheck(const float* data, unsigned frames, bool& nonFinite)
{
    return peakAndCheckFrom(data, 0, frames, 0.f, 0.f, nonFinite);
}
#endif

float peak(const float* data, unsigned frames)
{
    bool ignored = false;
    return peakAndCheck(data, frames, ignored);
}

void zeroNonFinite(float* data, unsigned frames)
{
    for (unsigned i = 0; i < frames; ++i)
        if (!std::isfinite(data[i]))
            data[i] = 0.f;
}
} // namespace blockmath
