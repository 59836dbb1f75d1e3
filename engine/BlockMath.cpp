#include "engine/BlockMath.h"

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
        data[i] *= gain;
}

void applyRamp(float* data, unsigned frames, float from, float to)
{
    const float step = (to - from) / static_cast<float>(frames);
    for (unsigned i = 0; i < frames; ++i)
        data[i] *= from + static_cast<float>(i) * step;
}

void mix(float* out, const float* dryBuffer, unsigned frames, float wetFrom, float wetTo, float dryFrom, float dryTo)
{
    if (wetFrom == wetTo && dryFrom == dryTo)
    {
        for (unsigned i = 0; i < frames; ++i)
            out[i] = wetTo * out[i] + dryTo * dryBuffer[i];
        return;
    }
    const float wetStep = (wetTo - wetFrom) / static_cast<float>(frames);
    const float dryStep = (dryTo - dryFrom) / static_cast<float>(frames);
    for (unsigned i = 0; i < frames; ++i)
    {
        const float fi = static_cast<float>(i);
        out[i] = (wetFrom + fi * wetStep) * out[i] + (dryFrom + fi * dryStep) * dryBuffer[i];
    }
}

#if CRUMLET_SSE
float peakAndCheck(const float* data, unsigned frames, bool& nonFinite)
{
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 zero = _mm_setzero_ps();
    __m128 peak4 = zero, check4 = zero;
    unsigned i = 0;
    for (; i + 4 <= frames; i += 4)
    {
        const __m128 x = _mm_loadu_ps(data + i);
        // maxps keeps the running peak when a sample is NaN.
        peak4 = _mm_max_ps(_mm_and_ps(x, absMask), peak4);
        // x * 0 is 0 for every finite x and NaN otherwise.
        check4 = _mm_add_ps(check4, _mm_mul_ps(x, zero));
    }
    alignas(16) float lanes[4], checks[4];
    _mm_store_ps(lanes, peak4);
    _mm_store_ps(checks, check4);
    float p = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
    float c = checks[0] + checks[1] + checks[2] + checks[3];
    for (; i < frames; ++i)
    {
        const float a = std::fabs(data[i]);
        if (a > p)
            p = a;
        c += data[i] * 0.f;
    }
    nonFinite = c != 0.f;
    return p;
}
#else
float peakAndCheck(const float* data, unsigned frames, bool& nonFinite)
{
    float p = 0.f, c = 0.f;
    for (unsigned i = 0; i < frames; ++i)
    {
        const float a = std::fabs(data[i]);
        if (a > p)
            p = a;
        c += data[i] * 0.f;
    }
    nonFinite = c != 0.f;
    return p;
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
