// The envelope-driven distortion: gain curve, make-up, per-mode timing and detector
// band, rectification, clipping and DC removal.
#include "engine/filters/FilterDesign.h"
#include "engine/stages/DistortionStage.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/StageRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

using namespace crumlet_test;

namespace
{
constexpr double kFloor = 0.003981071705534969;

DistortionParams distortion(int mode, float amount, float intensity = 0.f, float rectify = 0.f)
{
    const DistortionParams& d = defaultParams().distortion;
    return {mode, amount, intensity, rectify, d.changed, d.enable};
}

// Mode timing and detector band: times in ms at amount 0 and at amount 100, cut-offs in Hz.
struct ModeRow
{
    int mode;
    double rise0, rise100, fall0, fall100;
    double low, mid, high, trimDb;
};

// clang-format off
const ModeRow kModeRows[] = {
    {0, 4.35, 12.15, 0.85, 0.35, 100,  150, 17500, -8},
    {1, 1.15, 18.25, 0.25, 0.10, 100,  300, 20000, -7},
    {2, 2.35,  1.40, 0.35, 0.25, 300,  300, 10000, -6},
    {3, 0.95,  0.75, 0.25, 0.10, 150,  300, 12000, -6},
    {4, 8.25,  0.35, 0.25, 0.25, 100,  200, 14000, -6},
    {5, 2.15,  0.25, 0.50, 0.20, 150,  300, 16000, -6},
    {6, 0.70,  0.15, 0.70, 0.15, 200,  400, 18000, -6},
    {7, 0.35,  0.10, 0.35, 0.10, 100, 1000, 20000, -5},
    {8, 0.25,  0.05, 0.25, 0.05, 200, 2000, 20000, -2},
    {9, 0.10,  0.01, 0.10, 0.01, 150, 1500, 20000,  0},
};
// clang-format on

void PrintTo(const ModeRow& m, std::ostream* os)
{
    *os << "mode " << m.mode;
}

float coefficient(double ms)
{
    return static_cast<float>(std::min(1.0, 1.0 / (ms * 48.0)));
}

void expectEnvelopeCutoff(const DistortionStage::Channel& ch, double hz)
{
    const BiquadCoefs lp = filters::LowPass1(48000, hz);
    EXPECT_EQ(ch.envB0, static_cast<float>(lp.b0)) << hz << " Hz";
    EXPECT_EQ(ch.envB1, static_cast<float>(lp.b1)) << hz << " Hz";
    EXPECT_EQ(ch.envA1, static_cast<float>(lp.a1)) << hz << " Hz";
}
} // namespace

class DistortionModeTest : public ::testing::TestWithParam<ModeRow>
{
};

TEST_P(DistortionModeTest, TimingBandAndTrim)
{
    const ModeRow& m = GetParam();
    StageRig<DistortionStage> rig;
    DistortionStage::Channel& ch = rig.stage.memory[0];

    // Amount 0: the low cut-off whatever the intensity, the base times, a flat curve.
    for (float intensity : {0.f, 100.f})
    {
        rig.stage.setup(48000, distortion(m.mode, 0.f, intensity));
        expectEnvelopeCutoff(ch, m.low);
    }
    EXPECT_FLOAT_EQ(ch.risingCoef, coefficient(m.rise0));
    EXPECT_FLOAT_EQ(ch.fallingCoef, coefficient(m.fall0));
    EXPECT_FLOAT_EQ(ch.envelopeTerm, 1.f - coefficient(m.fall0)); // 0.01 ms is under one sample
    EXPECT_TRUE(std::all_of(std::begin(ch.curve), std::end(ch.curve), [](float g) { return g == 1.f; }));
    EXPECT_EQ(ch.makeUp, 1.f);

    // Full amount: intensity moves the cut-off from the mid to the high frequency.
    rig.stage.setup(48000, distortion(m.mode, 100.f, 0.f));
    expectEnvelopeCutoff(ch, m.mid);
    EXPECT_FLOAT_EQ(ch.risingCoef, coefficient(m.rise100));
    EXPECT_FLOAT_EQ(ch.fallingCoef, coefficient(m.fall100));
    rig.stage.setup(48000, distortion(m.mode, 100.f, 100.f));
    expectEnvelopeCutoff(ch, m.high);
    rig.stage.setup(48000, distortion(m.mode, 100.f, 50.f));
    expectEnvelopeCutoff(ch, (m.mid + m.high) / 2.0);

    // The trim is the make-up's ratio to the untrimmed mode 9 at full amount.
    EXPECT_NEAR(distortionMakeUp(100.0, m.mode) / distortionMakeUp(100.0, 9), std::pow(10.0, m.trimDb / 20.0), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(DistortionStage, DistortionModeTest, ::testing::ValuesIn(kModeRows),
                         [](const auto& info) { return "Mode" + std::to_string(info.param.mode); });

TEST(DistortionStage, MakeUpKnownValues)
{
    // Full amount: (1/F)^0.9 * 0.1259 (table entries 20 and 21 are equal).
    EXPECT_NEAR(distortionMakeUp(100.0, 9), 18.198086713691243, 1e-9);
    EXPECT_NEAR(distortionMakeUp(100.0, 0), 7.244788811074811, 1e-9);
    // Amount 50 lands on entry 10; 12.5 interpolates halfway between entries 2 and 3.
    EXPECT_NEAR(distortionMakeUp(50.0, 0), 8.458597782050685, 1e-9);
    EXPECT_NEAR(distortionMakeUp(12.5, 3), 5.2465648328121475, 1e-9);
    for (int mode = 0; mode < 10; ++mode)
        EXPECT_DOUBLE_EQ(distortionMakeUp(0.0, mode), 1.0);
}

TEST(DistortionStage, CurveAtFullAmount)
{
    StageRig<DistortionStage> rig;
    rig.stage.setup(48000, distortion(0, 100.f));
    const float* curve = rig.stage.memory[0].curve;
    // Exponent 1/(1 + 9) - 1 = -0.9 over (1 + (i/256)/F).
    EXPECT_EQ(curve[0], 1.f);
    EXPECT_FLOAT_EQ(curve[128], static_cast<float>(std::pow(1.0 + 0.5 / kFloor, -0.9)));
    EXPECT_FLOAT_EQ(curve[255], 0.0069178438665430265f);
    EXPECT_TRUE(std::is_sorted(std::begin(rig.stage.memory[0].curve), std::end(rig.stage.memory[0].curve),
                               std::greater<float>()));
}

// With the output high-pass taken out, amount 0 leaves the signal as it is apart from
// the clip at +-1 and the rectifier.
class DistortionShapeTest : public ::testing::Test
{
protected:
    std::vector<float> run(float rectify, double amplitude)
    {
        rig.stage.setup(48000, distortion(9, 0.f, 0.f, rectify));
        rig.stage.memory[0].highPass.load(BiquadCoefs::identity());
        std::vector<float> x = sine(9600, 1000.0, 48000.0, amplitude);
        rig.process(x.data(), 9600);
        input = sine(9600, 1000.0, 48000.0, amplitude);
        return x;
    }
    StageRig<DistortionStage> rig;
    std::vector<float> input;
};

TEST_F(DistortionShapeTest, RectifyHalfAndFull)
{
    const std::vector<float> half = run(50.f, 0.5);
    for (std::size_t i = 0; i < half.size(); ++i)
    {
        if (input[i] < 0.f)
        {
            EXPECT_EQ(half[i], 0.f) << i;
        }
    }

    const std::vector<float> full = run(100.f, 0.5);
    // After the gain has settled (the Clip mode settles within a millisecond) the
    // output is the full-wave rectified input.
    for (std::size_t i = 4800; i < full.size(); ++i)
        EXPECT_NEAR(full[i], std::fabs(input[i]), 1e-4) << i;

    const std::vector<float> none = run(0.f, 0.5);
    for (std::size_t i = 4800; i < none.size(); ++i)
        EXPECT_NEAR(none[i], input[i], 1e-4) << i;
}

TEST_F(DistortionShapeTest, HardClipAtUnity)
{
    const std::vector<float> y = run(0.f, 3.0);
    EXPECT_EQ(*std::max_element(y.begin() + 4800, y.end()), 1.f);
    EXPECT_EQ(*std::min_element(y.begin() + 4800, y.end()), -1.f);
}

TEST(DistortionStage, OutputHighPassRemovesOffset)
{
    StageRig<DistortionStage> rig;
    rig.stage.setup(48000, distortion(0, 0.f));
    expectLoaded(filters::HighPass1(48000, 20.0), rig.stage.memory[0].highPass);
    std::vector<float> dc(48000, 0.5f);
    rig.process(dc.data(), 48000);
    EXPECT_LT(std::fabs(dc.back()), 1e-4f);
}

// A set-up keeps the smoothed gain and memories: re-applying parameters mid-stream
// does not restart the gain from zero.
TEST(DistortionStage, SetupKeepsRunningState)
{
    StageRig<DistortionStage> rig;
    rig.stage.setup(48000, distortion(2, 40.f));
    std::vector<float> x = sine(4800, 500.0, 48000.0, 0.3);
    rig.process(x.data(), 4800);
    const float gain = rig.stage.memory[0].gain;
    const float envelope = rig.stage.memory[0].prevEnvelope;
    ASSERT_GT(gain, 0.f);
    rig.stage.setup(48000, distortion(2, 60.f));
    EXPECT_EQ(rig.stage.memory[0].gain, gain);
    EXPECT_EQ(rig.stage.memory[0].prevEnvelope, envelope);
}
