// The noise generator: its random source, level, band, ducking under the programme and
// the meters it keeps.
#include "engine/RandomGenerator.h"
#include "engine/filters/FilterDesign.h"
#include "engine/stages/NoiseStage.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/StageRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace crumlet_test;

namespace
{
NoiseParams noise(float levelDb, float thresholdDb = 0.f, float rangeDb = -20.f, float recoveryMs = 20.f)
{
    const NoiseParams& d = defaultParams().noise;
    return {levelDb, d.lpfFreq, d.hpfFreq, thresholdDb, rangeDb, recoveryMs, d.changed, d.enable};
}

// Power gain for white noise of a cascade, from its impulse response in double precision.
double whiteNoiseGain(const BiquadCoefs& first, const BiquadCoefs& second)
{
    double sum = 0.0;
    double x1[2] = {}, x2[2] = {}, y1[2] = {}, y2[2] = {};
    const BiquadCoefs* s[2] = {&first, &second};
    for (int n = 0; n < 200000; ++n)
    {
        double v = n == 0 ? 1.0 : 0.0;
        for (int k = 0; k < 2; ++k)
        {
            const double y = s[k]->b0 * v + s[k]->b1 * x1[k] + s[k]->b2 * x2[k] - s[k]->a1 * y1[k] - s[k]->a2 * y2[k];
            x2[k] = x1[k], x1[k] = v, y2[k] = y1[k], y1[k] = y;
            v = y;
        }
        sum += v * v;
    }
    return sum;
}
} // namespace

// state = state * 214013 + 2531011 (mod 2^32) from 784329; sample = int32(state) * 2^-32.
TEST(RandomGenerator, FirstValuesFromSeed)
{
    RandomGenerator rng;
    EXPECT_EQ(rng.state(), 784329u);
    const std::uint32_t states[] = {0x152f1b68u, 0x9618ec8bu, 0xa251c522u, 0x20f4575du};
    const float values[] = {0.08275004476308823f, -0.4136821925640106f, -0.36593979597091675f, 0.12872834503650665f};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(rng.next(), values[i]) << i;
        EXPECT_EQ(rng.state(), states[i]) << i;
    }
    float lo = 1.f, hi = -1.f;
    for (int i = 0; i < 100000; ++i)
    {
        const float v = rng.next();
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_GE(lo, -0.5f);
    EXPECT_LT(hi, 0.5f);
    EXPECT_LT(lo, -0.49f);
    EXPECT_GT(hi, 0.49f);
}

// Filling a block gives exactly the sequence of single draws, whatever the block length,
// and leaves the generator where those draws would.
TEST(RandomGenerator, FillMatchesSingleDraws)
{
    RandomGenerator single, block;
    for (unsigned count : {1u, 3u, 7u, 8u, 9u, 13u, 64u, 480u, 1023u})
    {
        std::vector<float> filled(count);
        block.fill(filled.data(), count);
        for (unsigned i = 0; i < count; ++i)
            ASSERT_EQ(filled[i], single.next()) << count << " at " << i;
        ASSERT_EQ(block.state(), single.state()) << count;
    }
}

TEST(NoiseStage, SetupValues)
{
    StageRig<NoiseStage> rig(2);
    NoiseParams p = noise(-96.f, -12.f, -30.f, 150.f);
    p.hpfFreq = 200.f;
    p.lpfFreq = 8000.f;
    rig.stage.setup(44100, p);
    for (unsigned c = 0; c < 2; ++c)
    {
        const NoiseChannel& ch = rig.stage.memory[c];
        EXPECT_FLOAT_EQ(ch.amplitude, 7.9432823e-6f); // 10^(-102/20): 6 dB under the level
        expectLoaded(filters::HighPass2(44100, 200.0, 1.414), ch.highPass);
        expectLoaded(filters::LowPass2(44100, 8000.0, 1.414), ch.lowPass);
        EXPECT_FLOAT_EQ(ch.threshold, 0.25118864f);
        EXPECT_FLOAT_EQ(ch.rangeGain, 0.031622777f);
        EXPECT_FLOAT_EQ(ch.recoveryCoef, static_cast<float>(1.0 / (0.150 * 44100)));
        EXPECT_FLOAT_EQ(ch.attackCoef, static_cast<float>(1.0 / 44.1));
        EXPECT_EQ(ch.holdLength, 44); // one millisecond, truncated
    }
}

TEST(NoiseStage, AmplitudeFloor)
{
    StageRig<NoiseStage> rig;
    rig.stage.setup(48000, noise(-137.5f));
    EXPECT_EQ(rig.stage.memory[0].amplitude, 0.f);
    rig.stage.setup(48000, noise(-137.f)); // -143 dB after the offset: still audible
    EXPECT_FLOAT_EQ(rig.stage.memory[0].amplitude, static_cast<float>(std::pow(10.0, -143.0 / 20.0)));

    // A silent generator leaves the programme untouched.
    std::vector<float> x = uniformNoise(1024, 0.5f, 9);
    const std::vector<float> in = x;
    rig.stage.setup(48000, noise(-140.f));
    rig.process(x.data(), 1024);
    EXPECT_EQ(x, in);
}

// Level -6 dB: amplitude 10^(-12/20); the uniform source has RMS 1/sqrt(12), shaped by
// the band's power gain.
TEST(NoiseStage, LevelOfAddedNoise)
{
    StageRig<NoiseStage> rig;
    NoiseParams p = noise(-6.f, 0.f, -20.f, 2.f);
    p.hpfFreq = 100.f;
    p.lpfFreq = 5000.f;
    rig.stage.setup(48000, p);
    const unsigned n = 96000;
    std::vector<float> x(n, 0.f);
    rig.process(x.data(), n);
    double sum = 0.0;
    for (unsigned i = n / 2; i < n; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    const double rms = std::sqrt(sum / (n / 2));
    const double expected = std::pow(10.0, -12.0 / 20.0) / std::sqrt(12.0) *
                            std::sqrt(whiteNoiseGain(filters::HighPass2(48000, 100.0, 1.414),
                                                     filters::LowPass2(48000, 5000.0, 1.414)));
    EXPECT_NEAR(rms / expected, 1.0, 0.05);
}

// Above the threshold the noise ducks to the range gain at the 1 ms attack rate, is held
// there until the 1 ms hold runs out, then recovers at the recovery rate.
TEST(NoiseStage, DucksHoldsAndRecovers)
{
    StageRig<NoiseStage> rig;
    rig.stage.setup(48000, noise(-40.f, -20.f, -20.f, 2.f));
    NoiseChannel& ch = rig.stage.memory[0];
    auto step = [&](float x) {
        rig.process(&x, 1);
        return ch.gain;
    };
    for (int i = 0; i < 4800; ++i)
        step(0.f);
    EXPECT_NEAR(ch.gain, 1.f, 1e-5f);
    rig.stage.readMinGain(0);

    // Loud programme: first step is 1/48 of the way down to 0.1.
    const float first = step(0.5f);
    EXPECT_FLOAT_EQ(first, ch.gain);
    EXPECT_NEAR(first, 1.f - (1.f - 0.1f) / 48.f, 1e-5f);
    for (int i = 0; i < 959; ++i)
        step(0.5f);
    EXPECT_NEAR(ch.gain, 0.1f, 1e-5f);
    EXPECT_NEAR(rig.stage.readMinGain(0), 0.1f, 1e-5f);
    EXPECT_EQ(rig.stage.readMinGain(0), 1.f); // reading resets

    // Quiet again: the hold counter, reloaded with 48 on the last loud sample, keeps the
    // gain down through the next 46 samples; the 47th starts the recovery.
    float held = ch.gain;
    for (int i = 0; i < 46; ++i)
    {
        const float g = step(0.f);
        EXPECT_LE(g, held) << i;
        held = g;
    }
    EXPECT_GT(step(0.f), held);

    EXPECT_GT(rig.stage.readMaxNoise(0), 0.f);
    EXPECT_EQ(rig.stage.readMaxNoise(0), 0.f);
}
