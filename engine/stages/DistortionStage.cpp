#include "engine/stages/DistortionStage.h"

#include "engine/filters/FilterDesign.h"
#include "engine/stages/TimeConversions.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kFloor = 0.003981071705534969; // -48 dB

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
    const double c = std::pow(1.0 / kFloor, 1.0 - 1.0 / (9.0 * a + 1.0));
    const double position = 20.0 * a;
    const int index = std::clamp(static_cast<int>(std::floor(position)), 0, 20);
    const double weight = position - index;
    const double m = kMakeUpTable[index] + (kMakeUpTable[index + 1] - kMakeUpTable[index]) * weight;
    return ((c - 1.0) * a + 1.0) * m * std::pow(10.0, a * modeShape(mode).trimDb / 20.0);
}

void DistortionStage::setup(unsigned fs, const DistortionParams& p, bool bypass)
{
    const ModeShape& mode = modeShape(p.mode);
    const double amount = bypass ? 0.0 : p.amount;
    const double a = amount * 0.01;
    const double floor = bypass ? 1.0 : kFloor;
    const double exponent = bypass ? 0.0 : 1.0 / (1.0 + 0.09 * amount) - 1.0;

    float curve[kCurveSize];
    for (int i = 0; i < kCurveSize; ++i)
        curve[i] = static_cast<float>(std::pow(1.0 + (i / 256.0) / floor, exponent));

    const double v = std::sqrt(a);
    const double rising = mode.riseBase + mode.riseSlope * v;
    const double falling = mode.fallFollowsRise ? rising : mode.fallBase + mode.fallSlope * v;
    const double cutoff = ((mode.high - mode.mid) * p.intensity * 0.01 + mode.mid - mode.low) * a + mode.low;
    const BiquadCoefs envelope = filters::LowPass1(fs, cutoff);
    const double fallingCoef = TimeToCoefficient(fs, falling);
    const BiquadCoefs dcBlock = filters::HighPass1(fs, 20.0);
    const float makeUp = static_cast<float>(distortionMakeUp(amount, p.mode));

    for (auto& ch : memory)
    {
        ch.drive = 1.f;
        ch.floor = static_cast<float>(floor);
        ch.envB0 = static_cast<float>(envelope.b0);
        ch.envB1 = static_cast<float>(envelope.b1);
        ch.envA1 = static_cast<float>(envelope.a1);
        ch.risingCoef = static_cast<float>(TimeToCoefficient(fs, rising));
        ch.fallingCoef = static_cast<float>(fallingCoef);
        ch.envelopeTerm = static_cast<float>(TimeToCoefficient(fs, 0.01) - fallingCoef);
        ch.rectifyThreshold = 0.f;
        ch.negativeGain = static_cast<float>(-0.02 * p.rectify);
        ch.makeUp = makeUp;
        ch.highPass.load(dcBlock);
        ch.interpolation = 1.f;
        ch.wet = 1.f;
        ch.dry = 0.f;
        ch.outputScale = 1.f;
        std::copy(std::begin(curve), std::end(curve), ch.curve);
    }
}

void DistortionStage::process(unsigned channel, float* data, unsigned frames)
{
    Channel& s = memory[channel];
    BiquadSection hp = s.highPass;
    float rPrev = s.prevRectified, ePrev = s.prevEnvelope, g = s.gain;
    const float negativeFactor = 1.f + s.negativeGain;
    for (unsigned i = 0; i < frames; ++i)
    {
        const float x = s.drive * data[i];
        const float r = std::max(std::min(std::fabs(x), 1.f) - s.floor, 0.f);
        const float e = 0.5f * (s.envB0 * r + s.envB1 * rPrev) - s.envA1 * ePrev;
        rPrev = r;
        ePrev = e;

        // The half-level envelope stays below the middle of the curve; anything past the
        // last entry (or not a number) reads the last entry.
        float k = e * 255.f;
        float target;
        if (k >= 0.f && k < 255.f)
        {
            const int idx = static_cast<int>(k);
            const float f = k - static_cast<float>(idx);
            target = f * s.curve[idx + 1] + (1.f - f) * s.curve[idx];
        }
        else
        {
            target = k < 0.f ? s.curve[0] : s.curve[kCurveSize - 1];
        }

        const float d = target - g;
        const float c = d >= 0.f ? s.risingCoef : s.fallingCoef;
        g = g + (c + e * s.envelopeTerm) * d;

        float y = g * x * s.makeUp;
        if (y < s.rectifyThreshold)
            y = y * negativeFactor;
        y = std::min(std::max(y, -1.f), 1.f);
        y = hp.tick(y);
        data[i] = x * s.dry + s.wet * (y * s.outputScale);
    }
    s.highPass = hp;
    s.prevRectified = rPrev;
    s.prevEnvelope = ePrev;
    s.gain = g;
}

void DistortionStage::resetChannel(unsigned channel)
{
    Channel& s = memory[channel];
    s.highPass.clearMemory();
    s.prevRectified = s.prevEnvelope = s.gain = 0.f;
}
