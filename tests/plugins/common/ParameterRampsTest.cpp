// How automated values move: floats ramp in equal steps that land on the new value, anything
// else changes at once.
#include "plugins/common/EngineSession.h"
#include "plugins/common/ParameterRamps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr auto indexOf = &plugins::EngineSession::indexOf;

std::array<float, kParameterCount> defaults()
{
    std::array<float, kParameterCount> v{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
        v[i] = g_parameterDefinitions[i].defaultValue;
    return v;
}

// The (index, value) pairs of one step.
std::vector<std::pair<std::size_t, float>> step(const plugins::ParameterRamps& r, std::uint32_t s, std::uint32_t n)
{
    std::vector<std::pair<std::size_t, float>> out;
    r.forEachStep(s, n, [&](std::size_t i, float v) { out.emplace_back(i, v); });
    return out;
}
} // namespace

TEST(ParameterRamps, AFloatStepsEvenlyAndLandsOnTheNewValue)
{
    plugins::ParameterRamps ramps;
    ramps.reset(defaults());
    const std::size_t tuning = indexOf("SIMTuning"), freq = indexOf("EQFreq");
    EXPECT_TRUE(ramps.rampTo(tuning, 200.f));
    EXPECT_TRUE(ramps.rampTo(freq, 1000.1f));
    EXPECT_TRUE(ramps.moving());
    // 512 frames: 16 sub-blocks of 32; 100 to 200 in steps of 6.25.
    ASSERT_EQ(plugins::ParameterRamps::stepsFor(512), 16u);
    EXPECT_EQ(plugins::ParameterRamps::stepsFor(33), 2u);
    EXPECT_EQ(plugins::ParameterRamps::stepsFor(32), 1u);
    for (std::uint32_t s = 0; s < 16; ++s)
    {
        const auto values = step(ramps, s, 16);
        ASSERT_EQ(values.size(), 2u);
        EXPECT_EQ(values[0].first, freq < tuning ? freq : tuning);
        const float expected = 100.f + 6.25f * static_cast<float>(s + 1);
        EXPECT_FLOAT_EQ((freq < tuning ? values[1] : values[0]).second, expected) << s;
    }
    // The last step is the new value exactly, however the division rounds.
    const auto last = step(ramps, 15, 16);
    EXPECT_EQ((freq < tuning ? last[0] : last[1]).second, 1000.1f);
    ramps.arrive();
    EXPECT_FALSE(ramps.moving());
    EXPECT_TRUE(step(ramps, 0, 1).empty());
    // The next ramp starts where this one arrived.
    ramps.rampTo(tuning, 100.f);
    EXPECT_FLOAT_EQ(step(ramps, 0, 2).at(0).second, 150.f);
}

TEST(ParameterRamps, ListsSwitchesAndUnknownStartsChangeAtOnce)
{
    plugins::ParameterRamps ramps;
    // Before the values are known nothing ramps.
    EXPECT_FALSE(ramps.rampTo(indexOf("SIMTuning"), 150.f));
    ramps.reset(defaults());
    EXPECT_FALSE(ramps.rampTo(indexOf("SIMType"), 92.f));
    EXPECT_FALSE(ramps.rampTo(indexOf("GateEnable"), 0.f));
    EXPECT_FALSE(ramps.rampTo(indexOf("LoFiBitDepthType"), 5.f));
    EXPECT_FALSE(ramps.moving());
    // Nor from or to a value that is not finite.
    EXPECT_FALSE(ramps.rampTo(indexOf("EQGain"), std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(ramps.rampTo(indexOf("EQGain"), 3.f));
    EXPECT_FALSE(ramps.rampTo(indexOf("EQQ"), std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(ramps.moving());
    // A float set back to the value the effect holds is taken care of: nothing moves.
    EXPECT_TRUE(ramps.rampTo(indexOf("EQGain"), 3.f));
    EXPECT_FALSE(ramps.moving());
    // A value sent at once ends its ramp.
    EXPECT_TRUE(ramps.rampTo(indexOf("Balance"), 50.f));
    EXPECT_TRUE(ramps.moving());
    ramps.hold(indexOf("Balance"), 60.f);
    EXPECT_FALSE(ramps.moving());
}
