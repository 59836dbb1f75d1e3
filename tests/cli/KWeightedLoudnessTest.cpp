// The loudness meter's own K-weighted measure against libebur128 set up as LevelMeter used it:
// the integrated loudness and the loudness range must be the same doubles, bit for bit, for
// every kind of signal, channel count, rate, length and way of handing the samples in.
#include "cli/metering/KWeightedLoudness.h"

#include <gtest/gtest.h>

#include <ebur128.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;

struct Reference
{
    double lufs = 0.0;
    double rangeLu = 0.0;
};

Reference libebur128(const std::vector<float>& x, std::uint32_t channels, std::uint32_t rate, bool range)
{
    ebur128_state* s = ebur128_init(channels, rate, range ? EBUR128_MODE_I | EBUR128_MODE_LRA : EBUR128_MODE_I);
    for (std::uint32_t c = 0; c < channels; ++c)
        ebur128_set_channel(s, c, EBUR128_LEFT);
    ebur128_add_frames_float(s, x.data(), x.size() / channels);
    Reference r;
    ebur128_loudness_global(s, &r.lufs);
    if (range)
        ebur128_loudness_range(s, &r.rangeLu);
    ebur128_destroy(&s);
    return r;
}

// Handed in as `chunks` dictates: a fixed size, or random sizes from 1 to 6000 frames.
Reference ours(const std::vector<float>& x, std::uint32_t channels, std::uint32_t rate, bool range, std::uint32_t chunk,
               unsigned seed = 1)
{
    KWeightedLoudness meter(channels, rate, range);
    std::mt19937 random(seed);
    const std::size_t frames = x.size() / channels;
    for (std::size_t at = 0; at < frames;)
    {
        const std::size_t n = std::min<std::size_t>(chunk != 0 ? chunk : 1 + random() % 6000, frames - at);
        meter.add(x.data() + at * channels, static_cast<std::uint32_t>(n));
        at += n;
    }
    return {meter.integratedLufs(), range ? meter.rangeLu() : 0.0};
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Speech-like: noise bursts of changing level and length, some separated by digital silence
// long enough for the filter's state to decay into the denormal range.
std::vector<float> programme(std::uint32_t channels, std::uint32_t rate, double seconds, unsigned seed, bool silences)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> noise(0.f, 1.f);
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<float> x(frames * channels);
    float level = 0.1f;
    bool silent = false;
    for (std::size_t i = 0; i < frames; ++i)
    {
        if (random() % (rate / 4) == 0)
        {
            level = 0.3f * std::pow(10.f, -static_cast<float>(random() % 60) / 20.f);
            silent = silences && random() % 3 == 0;
        }
        for (std::uint32_t c = 0; c < channels; ++c)
            x[i * channels + c] =
                silent ? 0.f
                       : level * (noise(random) * 0.3f +
                                  static_cast<float>(std::sin(2.0 * kPi * (110.0 + 300.0 * c) * i / rate)));
    }
    return x;
}

void expectSame(const std::vector<float>& x, std::uint32_t channels, std::uint32_t rate, const std::string& what)
{
    for (const bool range : {false, true})
    {
        const Reference r = libebur128(x, channels, rate, range);
        for (const std::uint32_t chunk : {0u, 1u, 4096u, 100000u})
        {
            const Reference o = ours(x, channels, rate, range, chunk);
            EXPECT_TRUE(sameBits(o.lufs, r.lufs)) << what << (range ? " with range" : "") << ", chunks of " << chunk
                                                  << ": " << o.lufs << " against " << r.lufs;
            if (range)
            {
                EXPECT_TRUE(sameBits(o.rangeLu, r.rangeLu)) << what << ", chunks of " << chunk << ": range " << o.rangeLu
                                                            << " against " << r.rangeLu;
            }
        }
    }
}
} // namespace

// Rates whose 100 ms, 400 ms and 3 s windows fall differently on whole quarters (8004 Hz keeps
// five quarters for 400 ms, 8001 Hz 31 for 3 s), channel counts, and lengths around the blocks.
TEST(KWeightedLoudness, MatchesLibebur128BitForBit)
{
    unsigned seed = 1;
    for (const std::uint32_t rate : {48000u, 44100u, 8000u, 8001u, 8004u, 11025u, 22050u, 96000u, 192000u})
        for (const std::uint32_t channels : {1u, 2u, 6u})
            for (const double seconds : {0.3, 0.4, 1.234, 3.0, 7.77})
            {
                if (rate > 96000 && seconds > 2)
                    continue;
                ++seed;
                const auto x = programme(channels, rate, seconds, seed, seed % 2 == 0);
                expectSame(x, channels, rate,
                           std::to_string(rate) + " Hz, " + std::to_string(channels) + " channels, " +
                               std::to_string(seconds) + " s");
            }
}

TEST(KWeightedLoudness, MatchesLibebur128OnLongAndOddSignals)
{
    // Long, with silences deep enough for the filter to flush to zero.
    expectSame(programme(1, 48000, 41.3, 7, true), 1, 48000, "41.3 s mono with silences");
    expectSame(programme(2, 44100, 23.0, 8, true), 2, 44100, "23 s stereo with silences");
    // Quiet enough that blocks sit around the -70 LUFS gate.
    auto quiet = programme(1, 48000, 9.0, 9, false);
    for (float& s : quiet)
        s *= 3e-4f;
    expectSame(quiet, 1, 48000, "around the absolute gate");
    // Digital silence, a full-scale square, denormal floats.
    expectSame(std::vector<float>(48000 * 5, 0.f), 1, 48000, "silence");
    std::vector<float> square(48000 * 4);
    for (std::size_t i = 0; i < square.size(); ++i)
        square[i] = (i / 40) % 2 == 0 ? 1.f : -1.f;
    expectSame(square, 1, 48000, "square");
    expectSame(std::vector<float>(48000 * 4, 1e-40f), 1, 48000, "denormal floats");
}
