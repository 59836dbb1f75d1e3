// The gate and the time conversions the stages share.
#include "engine/stages/GateStage.h"
#include "engine/Units.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/StageRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace crumlet_test;

namespace
{
GateParams gate(float thresholdDb, float rangeDb, float attackMs, float holdMs, float releaseMs)
{
    return GateParams{thresholdDb, rangeDb, attackMs, holdMs, releaseMs, false, true};
}

// Index of the first quiet sample whose output falls below the one before it.
int firstFall(const std::vector<float>& quiet, float before)
{
    for (std::size_t i = 0; i < quiet.size(); ++i)
    {
        if (quiet[i] < before)
            return static_cast<int>(i);
        before = quiet[i];
    }
    return -1;
}
} // namespace

TEST(TimeConversions, KnownValues)
{
    EXPECT_DOUBLE_EQ(TimeToCoefficient(48000, 0.0), 1.0);
    EXPECT_DOUBLE_EQ(TimeToCoefficient(48000, 1.0), 1.0 / 48.0);
    EXPECT_DOUBLE_EQ(TimeToCoefficient(48000, 0.01), 1.0); // under one sample: capped
    EXPECT_DOUBLE_EQ(TimeToCoefficient(8000, 1000.0), 1.0 / 8000.0);
    EXPECT_EQ(TimeToSamples(48000, 10.0), 480);
    EXPECT_EQ(TimeToSamples(44100, 1.0), 44);
    EXPECT_EQ(TimeToSamples(48000, 0.1f), 4);
    EXPECT_EQ(TimeToSamples(48000, 0.0), 0);
}

TEST(GateStage, SetupValues)
{
    StageRig<GateStage> rig(3);
    rig.stage.setup(48000, gate(-40.f, -80.f, 2.5f, 25.f, 500.f));
    for (unsigned c = 0; c < 3; ++c)
    {
        const GateChannel& ch = rig.stage.memory[c];
        EXPECT_FLOAT_EQ(ch.threshold, 0.01f);
        EXPECT_FLOAT_EQ(ch.rangeGain, 1e-4f);
        EXPECT_FLOAT_EQ(ch.attackCoef, 1.f / 120.f);
        EXPECT_EQ(ch.holdLength, 1200);
        EXPECT_FLOAT_EQ(ch.releaseCoef, 1.f / 24000.f);
        EXPECT_EQ(ch.gain, 0.f);
        EXPECT_EQ(ch.holdCounter, 0);
    }
}

// Range 0 dB: closed and open are the same gain, so once the gain has risen from its
// starting point nothing is ever attenuated.
TEST(GateStage, ZeroRangeNeverAttenuates)
{
    StageRig<GateStage> rig;
    rig.stage.setup(48000, gate(-20.f, 0.f, 1.f, 0.1f, 10.f));
    std::vector<float> warm(2400, 0.5f);
    rig.process(warm.data(), 2400);

    std::vector<float> x = uniformNoise(48000, 1.f, 5);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] *= (i / 4800) % 2 == 0 ? 0.001f : 1.f; // alternate quiet and loud
    std::vector<float> y = x;
    rig.process(y.data(), 48000);
    for (std::size_t i = 0; i < x.size(); ++i)
        ASSERT_NEAR(y[i], x[i], 1e-5f * std::fabs(x[i])) << i;
    EXPECT_GT(rig.stage.memory[0].minGain, 0.99999f);
}

// Hold: the counter reloaded with the hold length on the last loud sample keeps the gate
// open through the next hold - 2 samples; with hold 0 it starts closing at once.
TEST(GateStage, HoldDelaysClosing)
{
    for (const auto& [holdMs, expectedFall] : {std::pair<float, int>{10.f, 478}, {0.f, 0}, {1.f, 46}})
    {
        StageRig<GateStage> rig;
        rig.stage.setup(48000, gate(-20.f, -80.f, 0.1f, holdMs, 10.f));
        std::vector<float> loud(480, 0.5f);
        rig.process(loud.data(), 480);
        std::vector<float> quiet(960, 0.01f);
        rig.process(quiet.data(), 960);
        EXPECT_EQ(firstFall(quiet, loud.back() / 0.5f * 0.01f), expectedFall) << holdMs << " ms";
        // After closing, the gain heads for the range level at the release rate.
        EXPECT_LT(quiet.back(), 0.01f * 0.5f);
    }
}

// The meter is the smallest gain of the block: opening from silence, that is the first
// step, exactly one attack coefficient.
TEST(GateStage, MeterIsSmallestGainOfBlock)
{
    StageRig<GateStage> rig;
    rig.stage.setup(48000, gate(-40.f, -80.f, 1.f, 10.f, 10.f));
    std::vector<float> loud(256, 0.5f);
    rig.process(loud.data(), 256);
    EXPECT_EQ(rig.stage.memory[0].minGain, rig.stage.memory[0].attackCoef);
    const float endOfFirst = rig.stage.memory[0].gain;
    rig.process(loud.data(), 256);
    EXPECT_GT(rig.stage.memory[0].minGain, endOfFirst);

    // Below the threshold for long enough, the gain settles at the range level.
    std::vector<float> quiet(48000, 0.001f);
    rig.process(quiet.data(), 48000);
    EXPECT_NEAR(rig.stage.memory[0].minGain, 1e-4f, 1e-6f);
}
