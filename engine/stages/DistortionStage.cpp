#include "engine/stages/DistortionStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/WideRegisters.h"
#include "engine/stages/DistortionFrames.h"
#include "engine/stages/StageLanes.h"

#include <algorithm>
#include <cmath>

namespace
{

struct ModeShape
{
    double riseBase, riseSlope;
    double fallBase, fallSlope;
    bool fallFollowsRise;
    double low, mid, high;
    double trimDb;
};

// Gain-rising and gain-falling times in ms as base + slope * sqrt(amount/100).
constexpr ModeShape kModes[10] = {
    {4.35, 7.8, 0.85, -0.5, false, 100, 150, 17500, -8},   // Sat1
    {1.15, 17.1, 0.25, -0.15, false, 100, 300, 20000, -7}, // Sat2
    {2.35, -0.95, 0.35, -0.1, false, 300, 300, 10000, -6}, // Fuzz
    {0.95, -0.2, 0.25, -0.15, false, 150, 300, 12000, -6}, // LoFi
    {8.25, -7.9, 0.25, 0.0, false, 100, 200, 14000, -6},   // Soft
    {2.15, -1.9, 0.5, -0.3, false, 150, 300, 16000, -6},   // Stun
    {0.7, -0.55, 0, 0, true, 200, 400, 18000, -6},         // Ouch
    {0.35, -0.25, 0, 0, true, 100, 1000, 20000, -5},       // Hard
    {0.25, -0.2, 0, 0, true, 200, 2000, 20000, -2},        // Nuke
    {0.1, -0.09, 0, 0, true, 150, 1500, 20000, 0},         // Clip
};

constexpr double kMakeUpTable[22] = {1.0,    2.2387, 2.0893, 1.4791, 1.0233, 0.7674, 0.5957, 0.4732,
                                     0.3936, 0.335,  0.2884, 0.2512, 0.2239, 0.1995, 0.1841, 0.1679,
                                     0.1585, 0.1496, 0.1334, 0.1259, 0.1259, 0.1259};

const ModeShape& modeShape(int mode)
{
    return kModes[std::clamp(mode, 0, 9)];
}
} // namespace

double distortionMakeUp(double amount, int mode)
{
    const double a = amount * 0.01;
    const double c = std::pow(1.0 / kDistortionFloor, 1.0 - 1.0 / (9.0 * a + 1.0));
    const double position = 20.0 * a;
    const int index = std::clamp(static_cast<int>(std::floor(position)), 0, 20);
    const double weight = position - index;
    const double m = kMakeUpTable[index] + (kMakeUpTable[index + 1] - kMakeUpTable[index]) * weight;
    return ((c - 1.0) * a + 1.0) * m * std::pow(10.0, a * modeShape(mode).trimDb / 20.0);
}

void DistortionStage::setup(unsigned fs, const DistortionParams& p)
{
    const ModeShape& mode = modeShape(p.mode);
    const double a = p.amount * 0.01;
    const double exponent = 1.0 / (1.0 + 0.09 * p.amount) - 1.0;

    float curve[kCurveSize];
    for (int i = 0; i < kCurveSize; ++i)
        curve[i] = static_cast<float>(std::pow(1.0 + (i / 256.0) / kDistortionFloor, exponent));

    const double v = std::sqrt(a);
    const double rising = mode.riseBase + mode.riseSlope * v;
    const double falling = mode.fallFollowsRise ? rising : mode.fallBase + mode.fallSlope * v;
    const double cutoff = ((mode.high - mode.mid) * p.intensity * 0.01 + mode.mid - mode.low) * a + mode.low;
    const BiquadCoefs envelope = filters::LowPass1(fs, cutoff);
    const double fallingCoef = TimeToCoefficient(fs, falling);
    const BiquadCoefs dcBlock = filters::HighPass1(fs, 20.0);
    const float makeUp = static_cast<float>(distortionMakeUp(p.amount, p.mode));

    for (auto& ch : memory)
    {
        ch.envB0 = static_cast<float>(envelope.b0);
        ch.envB1 = static_cast<float>(envelope.b1);
        ch.envA1 = static_cast<float>(envelope.a1);
        ch.risingCoef = static_cast<float>(TimeToCoefficient(fs, rising));
        ch.fallingCoef = static_cast<float>(fallingCoef);
        ch.envelopeTerm = static_cast<float>(TimeToCoefficient(fs, 0.01) - fallingCoef);
        ch.negativeGain = static_cast<float>(-0.02 * p.rectify);
        ch.makeUp = makeUp;
        ch.highPass.load(dcBlock);
        std::copy(std::begin(curve), std::end(curve), ch.curve);
    }
}

void DistortionStage::processChannels(const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        forEachLaneGroup(memory, block, [&](auto& lanes) {
            NothingAfterDistortion nothing;
            runDistortion(lanes, block.frames, nothing);
        });
    });
}

void DistortionChannel::restart()
{
    highPass.clearMemory();
    prevRectified = prevEnvelope = gain = 0.f;
}
