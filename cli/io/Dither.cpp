#include "cli/io/Dither.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{
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
} // namespace

TpdfDither::TpdfDither(int bits, std::uint64_t seed)
    : m_bits(bits), m_step(1.0 / static_cast<double>(1ull << (bits - 1))), m_state(seed ^ 0x6469746865720000ull)
{
}

void TpdfDither::quantize(const float* samples, std::int32_t* into, std::size_t count)
{
    const double scale = 1.0 / m_step;
    const auto lowest = static_cast<long>(-scale), highest = static_cast<long>(scale) - 1;
    const int shift = 32 - m_bits;
    for (std::size_t i = 0; i < count; ++i)
    {
        // Both uniform values from the halves of one draw.
        const std::uint64_t r = splitMix64(m_state);
        const double tpdf = (static_cast<double>(r >> 32) - static_cast<double>(r & 0xffffffffu)) * 0x1.0p-32;
        const double steps = samples[i] * scale + tpdf;
        const long q = std::isnan(steps) ? 0 : std::clamp(roundToNearest(std::clamp(steps, -scale - 1.0, scale)), lowest, highest);
        into[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(q) << shift);
    }
}
