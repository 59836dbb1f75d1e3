// Six significant digits worked out in whole numbers: bit for bit what printing with "%.6g"
// and reading the text back with strtof gives.
#include "plugins/juce/SixSignificantDigits.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace
{
float printedAndReadBack(float v)
{
    if (!std::isfinite(v) || v == 0.f)
        return v;
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(v));
    return std::strtof(text, nullptr);
}

std::uint32_t bitsOf(float v)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

float floatOf(std::uint32_t bits)
{
    float v = 0.f;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// How many floats from `first` to `last` (bit patterns of one sign, every `step`th) do not
// come out as printed and read back; the first of them in `example`.
std::uint64_t differing(std::uint32_t first, std::uint32_t last, std::uint32_t step, std::uint32_t& example)
{
    std::uint64_t count = 0;
    for (std::uint64_t bits = first; bits <= last; bits += step)
    {
        const float v = floatOf(static_cast<std::uint32_t>(bits));
        if (bitsOf(toSixSignificantDigits(v)) != bitsOf(printedAndReadBack(v)) && count++ == 0)
            example = static_cast<std::uint32_t>(bits);
    }
    return count;
}
} // namespace

TEST(SixSignificantDigits, KnownAnswers)
{
    // Values that went through a parameter's normalised form.
    EXPECT_EQ(toSixSignificantDigits(0.99999994f), 1.f);
    EXPECT_EQ(toSixSignificantDigits(std::nextafter(-40.f, 0.f)), -40.f);
    EXPECT_EQ(toSixSignificantDigits(std::nextafter(18000.f, 0.f)), 18000.f);
    // Six digits kept: 1.2345678 reads 1.23457.
    EXPECT_EQ(toSixSignificantDigits(1.2345678f), 1.23457f);
    EXPECT_EQ(toSixSignificantDigits(0.1f), 0.1f);
    // Halves go to the even digit: 101562.5 and 104687.5 millionths.
    EXPECT_EQ(toSixSignificantDigits(1.015625f), 1.01562f);
    EXPECT_EQ(toSixSignificantDigits(1.046875f), 1.04688f);
    EXPECT_EQ(toSixSignificantDigits(100000.5f), 100000.f);
    EXPECT_EQ(toSixSignificantDigits(100001.5f), 100002.f);
    EXPECT_EQ(toSixSignificantDigits(-100001.5f), -100002.f);
    // Rounding carries into the next decade.
    EXPECT_EQ(toSixSignificantDigits(9999995.f), 1e7f);
    // Six digits of 1.2379418e27 lie just below a power of two: the float nearest them is
    // the last of the binade below (2^24 - 1) * 2^66, not 2^90.
    EXPECT_EQ(bitsOf(toSixSignificantDigits(floatOf(0x6c80000cu))), 0x6c7fffffu);
    // The largest float keeps its six digits; the smallest normal one rounds to a subnormal.
    EXPECT_EQ(toSixSignificantDigits(FLT_MAX), 3.40282e38f);
    EXPECT_LT(toSixSignificantDigits(FLT_MIN), FLT_MIN);
    EXPECT_EQ(toSixSignificantDigits(floatOf(1)), floatOf(1)); // 1.4013e-45 is still 2^-149

    EXPECT_EQ(bitsOf(toSixSignificantDigits(-0.f)), bitsOf(-0.f));
    EXPECT_EQ(toSixSignificantDigits(std::numeric_limits<float>::infinity()), std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(toSixSignificantDigits(std::numeric_limits<float>::quiet_NaN())));
}

TEST(SixSignificantDigits, AsPrintedAndReadBackAcrossTheFloats)
{
    std::uint32_t example = 0;
    // Every 4099th float of either sign, subnormals to the largest.
    EXPECT_EQ(differing(1, 0x7f7fffffu, 4099, example), 0u) << std::hex << example;
    EXPECT_EQ(differing(0x80000001u, 0xff7fffffu, 4099, example), 0u) << std::hex << example;
    // Every float around the values the parameters take most: 1, 100, 1000 and 20000.
    for (const float centre : {1.f, 100.f, 1000.f, 20000.f})
    {
        const std::uint32_t bits = bitsOf(centre);
        EXPECT_EQ(differing(bits - 20000, bits + 20000, 1, example), 0u) << std::hex << example;
    }
    // Every subnormal near the top of their range and the first normal floats.
    EXPECT_EQ(differing(0x007f0000u, 0x00810000u, 1, example), 0u) << std::hex << example;
}

TEST(SixSignificantDigits, OnTheAudioThreadAsThereWithDenormalsFlushed)
{
    // The audio thread flushes denormals: a subnormal compares equal to zero and comes back
    // as it is, as it does from the C library there.
    const juce::ScopedNoDenormals noDenormals;
    for (const std::uint32_t bits : {0x00000001u, 0x00400000u, 0x007fffffu, 0x00800000u, 0x00800001u, 0x3f7fffffu})
        EXPECT_EQ(bitsOf(toSixSignificantDigits(floatOf(bits))), bitsOf(printedAndReadBack(floatOf(bits)))) << bits;
    EXPECT_EQ(bitsOf(toSixSignificantDigits(floatOf(0x00400000u))), 0x00400000u);
}
