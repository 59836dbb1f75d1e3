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

double TpdfDither::uniform()
{
    return static_cast<double>(splitMix64(m_state) >> 11) * 0x1.0p-53;
}

void TpdfDither::quantize(const float* samples, std::int32_t* into, std::size_t count)
{
    const double scale = 1.0 / m_step;
    const double most = scale - 1.0;
    const int shift = 32 - m_bits;
    for (std::size_t i = 0; i < count; ++i)
    {
        const double steps = std::nearbyint(samples[i] * scale + (uniform() - uniform()));
        into[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(
                      std::clamp(std::isnan(steps) ? 0.0 : steps, -scale, most)))
                  << shift);
    }
}
