#include "cli/io/Dither.h"

#include <algorithm>
#include <cmath>

std::uint64_t splitMix64(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
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
    for (std::size_t i = 0; i < count; ++i)
    {
        // Both uniform values from the halves of one draw.
        const std::uint64_t r = splitMix64(m_state);
        const double tpdf = (static_cast<double>(r >> 32) - static_cast<double>(r & 0xffffffffu)) * 0x1.0p-32;
        const double steps = samples[i] * scale + tpdf;
        const long q = std::isnan(steps) ? 0 : std::clamp(std::lrint(std::clamp(steps, -scale - 1.0, scale)), lowest, highest);
        into[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(q) << shift);
    }
}
