// TPDF dither for integer outputs: before a float sample is rounded to 16 or 24 bits, the
// sum of two independent uniform values of one step each (a triangular distribution over
// two steps, mean zero) is added, so that the rounding error is noise independent of the
// signal rather than distortion that follows it. Seeded: a render made again is the same.
#pragma once

#include <cstddef>
#include <cstdint>

class TpdfDither
{
public:
    // `bits` is the output's sample depth; `seed` makes the noise, the same for the same seed.
    TpdfDither(int bits, std::uint64_t seed);

    // Adds the dither, rounds to the nearest step and clips to full scale: 32-bit integers
    // whose low bits below the output's depth are zero, which libsndfile writes unchanged
    // (its own conversion of floats truncates, which would bias the dither by half a step).
    void quantize(const float* samples, std::int32_t* into, std::size_t count);

    // One step of the output as a float sample: 2^-(bits-1), as the file is read back.
    double step() const { return m_step; }

private:
    int m_bits;
    double m_step;
    std::uint64_t m_state;
};

// The widest steps quantize() takes where the processor has them: one sample at a time, four
// side by side on 256-bit integer vectors (AVX2), the same with 64-bit products in one
// instruction (AVX-512). Every width gives the same integers; tests hold each to them.
enum class DitherSteps
{
    OneAtATime,
    FourSideBySide,
    FourMultiplyingNatively,
};
// Process-wide; the widest by default.
void limitDitherSteps(DitherSteps widest);

// The next value of the splitmix64 sequence (a fast generator that a seed of any value starts
// well), advancing `state`. Inline: the dither draws one per sample.
inline std::uint64_t splitMix64(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}
