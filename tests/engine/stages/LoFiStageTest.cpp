// The lo-fi reducer: bit depth, sample hold and band limit.
#include "engine/filters/FilterDesign.h"
#include "engine/stages/LoFiStage.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/StageRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>
#include <vector>

using namespace crumlet_test;

namespace
{
constexpr float kLsb = 1.192093e-7f; // 2^-23 as the quantiser writes it

LoFiParams lofi(int type, int downSample, float filter = 0.f)
{
    return LoFiParams{type, downSample, filter, false, true};
}

// Quantiser and hold only: the band-pass replaced by a pass-through after set-up.
std::vector<float> reduce(StageRig<LoFiStage>& rig, unsigned fs, const LoFiParams& p, std::vector<float> x)
{
    rig.stage.setup(fs, p);
    rig.stage.memory[0].bandPass.load(BiquadCoefs::identity());
    rig.process(x.data(), static_cast<unsigned>(x.size()));
    return x;
}
} // namespace

TEST(LoFiStage, HoldFactors)
{
    // Index k holds k + 1 samples (the list's 48000/(k + 1) Hz); 0 holds nothing.
    EXPECT_EQ(holdFactorFor(0, 48000), 0);
    EXPECT_EQ(holdFactorFor(0, 96000), 0);
    EXPECT_EQ(holdFactorFor(1, 44100), 2);
    EXPECT_EQ(holdFactorFor(32, 48000), 33);
    EXPECT_EQ(holdFactorFor(1, 48001), 4);
    // 3 at 48 kHz and 6 at 96 kHz are the same 16 kHz effective rate.
    EXPECT_EQ(holdFactorFor(2, 48000), 3);
    EXPECT_EQ(holdFactorFor(2, 96000), 6);
    EXPECT_EQ(48000 / holdFactorFor(2, 48000), 96000 / holdFactorFor(2, 96000));
}

TEST(LoFiStage, FullDepthStillRoundsToGrid)
{
    StageRig<LoFiStage> rig;
    const std::vector<float> x = uniformNoise(4096, 1.f, 11);
    const std::vector<float> y = reduce(rig, 48000, lofi(0, 0), x);
    for (std::size_t i = 0; i < x.size(); ++i)
    {
        // On the grid, and the nearest grid point to x * 8388607 (within the quarter step
        // a single-precision product may add).
        const double k = std::round(static_cast<double>(y[i]) / kLsb);
        ASSERT_EQ(y[i], static_cast<float>(k * kLsb)) << i;
        ASSERT_LE(std::fabs(k - static_cast<double>(x[i]) * 8388607.0), 0.75) << i;
    }
    // 0.3 is not on the grid: it comes back as 2516582 steps.
    EXPECT_EQ(reduce(rig, 48000, lofi(0, 0), {0.3f})[0], static_cast<float>(2516582.0 * kLsb));
    EXPECT_NE(reduce(rig, 48000, lofi(0, 0), {0.3f})[0], 0.3f);
}

TEST(LoFiStage, TwoBitsLeaveFiveLevels)
{
    StageRig<LoFiStage> rig;
    std::vector<float> ramp(2001);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = -1.f + static_cast<float>(i) * 0.001f;
    const std::vector<float> y = reduce(rig, 48000, lofi(15, 0), ramp);
    const float half = static_cast<float>(4194304.0 * kLsb), full = static_cast<float>(8388608.0 * kLsb);
    EXPECT_EQ(std::set<float>(y.begin(), y.end()), (std::set<float>{-full, -half, 0.f, half, full}));
    // x * 8388607 / 2^22 rounded: 0.2 -> 0, 0.3 -> 1, 0.8 -> 2, -0.3 -> -1.
    EXPECT_EQ(reduce(rig, 48000, lofi(15, 0), {0.2f, 0.3f, 0.8f, -0.3f}), (std::vector<float>{0.f, half, full, -half}));
    // 8 bits (type 9): steps of 2^16 LSB.
    for (float v : reduce(rig, 48000, lofi(9, 0), uniformNoise(512, 1.f, 2)))
        EXPECT_EQ(std::fmod(std::round(static_cast<double>(v) / kLsb), 65536.0), 0.0);
}

TEST(LoFiStage, HoldRepeatsEachNewValue)
{
    StageRig<LoFiStage> rig;
    std::vector<float> ramp(96);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<float>(i + 1) / 128.f;
    const std::vector<float> unheld = reduce(rig, 48000, lofi(0, 0), ramp);
    ASSERT_EQ(std::set<float>(unheld.begin(), unheld.end()).size(), unheld.size());
    for (const auto& [index, fs, factor] : {std::tuple<int, unsigned, unsigned>{2, 48000, 3}, {2, 96000, 6},
                                           {0, 48000, 1}, {5, 44100, 6}})
    {
        const std::vector<float> y = reduce(rig, fs, lofi(0, index), ramp);
        for (std::size_t i = 0; i < y.size(); ++i)
            ASSERT_EQ(y[i], unheld[i - i % factor]) << "index " << index << " at " << fs << ", sample " << i;
    }
}

// Band: 20 Hz up to 20000 - 19000 * sqrt(filter / 100) Hz.
TEST(LoFiStage, BandNarrowsWithFilter)
{
    StageRig<LoFiStage> rig;
    for (const auto& [filter, top] : {std::pair<float, double>{0.f, 20000.0}, {100.f, 1000.0}, {25.f, 10500.0},
                                      {-10.f, 20000.0}})
    {
        rig.stage.setup(48000, lofi(3, 4, filter));
        expectLoaded(filters::BandPass1(48000, 20.0, top), rig.stage.memory[0].bandPass);
    }
    EXPECT_NEAR(filters::MagnitudeDb(filters::BandPass1(48000, 20.0, 1000.0), 1000.0, 48000.0), -3.0, 0.1);
}
