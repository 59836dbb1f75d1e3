// The effect's output parked between a normalised render's two passes comes back whole, in
// order, in whole frames, with the gain applied, whether it stayed in memory or spilled.
#include "cli/render/ParkedOutput.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{
std::vector<float> ramp(std::size_t samples)
{
    std::vector<float> x(samples);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 0.001f * static_cast<float>(i % 2003) - 1.f;
    return x;
}

// Parks `x` in pieces of `piece` frames and plays it back with `gain`.
std::vector<float> roundTrip(ParkedOutput& parked, const std::vector<float>& x, std::uint32_t channels,
                             std::uint32_t piece, float gain)
{
    const std::size_t frames = x.size() / channels;
    for (std::size_t at = 0; at < frames; at += piece)
    {
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(piece, frames - at));
        EXPECT_TRUE(parked.park(x.data() + at * channels, n));
    }
    std::vector<float> back;
    parked.playBack(gain, [&](const float* from, std::uint32_t n) {
        EXPECT_GT(n, 0u);
        EXPECT_LE(n, ParkedOutput::kPlayFrames);
        back.insert(back.end(), from, from + std::size_t{n} * channels);
        return true;
    });
    return back;
}

std::vector<float> scaled(std::vector<float> x, float gain)
{
    for (float& s : x)
        s *= gain;
    return x;
}
} // namespace

TEST(ParkedOutput, ComesBackWithTheGainFromMemoryAndFromTheScratchFile)
{
    const float gain = 0.7071f;
    struct Case
    {
        std::uint32_t channels;
        std::size_t memorySamples; // bounds chosen to split frames and blocks
        bool spills;
    };
    for (const Case c : {Case{1, ParkedOutput::kMemorySamples, false}, Case{2, 100001, true}, Case{3, 0, true},
                         Case{6, 70000, true}})
    {
        SCOPED_TRACE(c.channels);
        const std::vector<float> x = ramp(c.channels * std::size_t{150001});
        ParkedOutput parked("out.wav", c.channels, c.memorySamples);
        EXPECT_EQ(roundTrip(parked, x, c.channels, 512, gain), scaled(x, gain));
        EXPECT_EQ(parked.frames(), 150001u);
        EXPECT_EQ(parked.spilled(), c.spills);
        EXPECT_TRUE(parked.error().empty());
    }
}

TEST(ParkedOutput, PlayBackStopsWhenTheTakerDoes)
{
    const std::vector<float> x = ramp(3 * std::size_t{ParkedOutput::kPlayFrames});
    ParkedOutput parked("out.wav", 1, 1000);
    ASSERT_TRUE(parked.park(x.data(), static_cast<std::uint32_t>(x.size())));
    int chunks = 0;
    parked.playBack(1.f, [&](const float*, std::uint32_t) { return ++chunks < 2; });
    EXPECT_EQ(chunks, 2);
}

TEST(ParkedOutput, NothingParkedPlaysNothing)
{
    ParkedOutput parked("out.wav", 2);
    bool called = false;
    parked.playBack(2.f, [&](const float*, std::uint32_t) { return called = true; });
    EXPECT_FALSE(called);
}
