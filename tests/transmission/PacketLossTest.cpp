// The network's losses over many frames: the share lost is the rate asked for, bursts last as
// long as asked in the mean, random losses come one at a time as often as chance has it, and
// a seed repeats its losses exactly.
#include "transmission/PacketLoss.h"

#include <gtest/gtest.h>

#include <cmath>

namespace transmission
{
namespace
{
struct LossFigures
{
    double rate = 0;
    double meanBurst = 0;
};

LossFigures measure(const std::string& text, std::uint64_t seed, std::uint64_t frames)
{
    PacketLoss loss(parseLoss(text), seed);
    std::uint64_t lost = 0, bursts = 0;
    bool previous = false;
    for (std::uint64_t i = 0; i < frames; ++i)
    {
        const bool now = loss.lost(i);
        lost += now;
        bursts += now && !previous;
        previous = now;
    }
    return {static_cast<double>(lost) / frames, bursts > 0 ? static_cast<double>(lost) / bursts : 0.0};
}

TEST(PacketLoss, RandomAndBurstyLossesMatchTheRateAndBurstLengthAsked)
{
    constexpr std::uint64_t kFrames = 400000; // over two hours of 20 ms frames
    // Random: bursts are runs of independent losses, 1 / (1 - rate) long in the mean.
    for (double percent : {1.0, 5.0, 20.0})
    {
        const LossFigures f = measure(std::to_string(percent) + "%", 3, kFrames);
        EXPECT_NEAR(f.rate, percent / 100.0, 0.003) << percent;
        EXPECT_NEAR(f.meanBurst, 1.0 / (1.0 - percent / 100.0), 0.02) << percent;
    }
    for (auto [percent, burst] : {std::pair{3.0, 4.0}, std::pair{10.0, 2.5}, std::pair{1.0, 8.0}, std::pair{25.0, 6.0}})
    {
        const LossFigures f = measure(std::to_string(percent) + "%:burst=" + std::to_string(burst), 11, kFrames);
        EXPECT_NEAR(f.rate, percent / 100.0, 0.1 * percent / 100.0) << percent << "% in bursts of " << burst;
        EXPECT_NEAR(f.meanBurst, burst, 0.05 * burst) << percent << "% in bursts of " << burst;
    }
}

TEST(PacketLoss, TheSameSeedLosesTheSameFramesAndAnotherSeedOthers)
{
    PacketLoss a(parseLoss("10%:burst=3"), 42), b(parseLoss("10%:burst=3"), 42), c(parseLoss("10%:burst=3"), 43);
    int differ = 0;
    for (std::uint64_t i = 0; i < 5000; ++i)
    {
        const bool x = a.lost(i);
        EXPECT_EQ(x, b.lost(i));
        differ += x != c.lost(i);
    }
    EXPECT_GT(differ, 100);
    // Asking again, or out of order, gives the same answer.
    EXPECT_EQ(a.lost(17), b.lost(17));
    PacketLoss d(parseLoss("10%:burst=3"), 42);
    EXPECT_EQ(d.lost(4000), a.lost(4000));
}

TEST(PacketLoss, NoLossLosesNothing)
{
    EXPECT_EQ(measure("0%", 1, 10000).rate, 0.0);
    EXPECT_EQ(measure("off", 1, 10000).rate, 0.0);
}

} // namespace
} // namespace transmission
