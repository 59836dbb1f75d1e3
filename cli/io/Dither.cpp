#include "cli/io/Dither.h"

#include <cstddef>

std::uint64_t splitMix64(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

// libsndfile scales floats by 2^(bits-1) - 1 (0x7FFF for 16 bits) before rounding.
TpdfDither::TpdfDither(int bits, std::uint64_t seed)
    : m_step(1.0 / static_cast<double>((1ull << (bits - 1)) - 1)), m_state(seed ^ 0x6469746865720000ull)
{
}

double TpdfDither::uniform()
{
    return static_cast<double>(splitMix64(m_state) >> 11) * 0x1.0p-53;
}

void TpdfDither::apply(float* samples, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<float>(samples[i] + (uniform() - uniform()) * m_step);
}
