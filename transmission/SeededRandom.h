// A small random number generator whose sequence depends on nothing but its seed (SplitMix64),
// the same on every platform and build, so that a seeded render repeats exactly.
#pragma once

#include <cmath>
#include <cstdint>

namespace transmission
{

class SeededRandom
{
public:
    explicit SeededRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

    // Uniform in [-1, 1), as a float.
    float bipolar() { return static_cast<float>(uniform() * 2.0 - 1.0); }

private:
    std::uint64_t m_state;
};

// A seed for one use of a file's seed (the loss, one channel's static), so that the uses
// draw unrelated sequences.
inline std::uint64_t derivedSeed(std::uint64_t seed, std::uint64_t use)
{
    SeededRandom random(seed ^ (use * 0xd1b54a32d192ed03ull));
    return random.next();
}

} // namespace transmission
