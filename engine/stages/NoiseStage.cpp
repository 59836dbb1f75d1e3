#include "engine/stages/NoiseStage.h"

#include "engine/filters/FilterDesign.h"
#include "engine/stages/TimeConversions.h"

#include <algorithm>
#include <cmath>

void NoiseStage::setup(unsigned fs, const NoiseParams& p, bool bypass)
{
    const double a = static_cast<double>(p.level) - 6.0;
    const float amplitude = bypass || a < -143.0 ? 0.f : static_cast<float>(dbToGain(a));
    const BiquadCoefs hp = bypass ? BiquadCoefs::identity() : filters::HighPass2(fs, p.hpfFreq, 1.414);
    const BiquadCoefs lp = bypass ? BiquadCoefs::identity() : filters::LowPass2(fs, p.lpfFreq, 1.414);
    for (auto& ch : memory)
    {
        ch.amplitude = amplitude;
        ch.highPass.load(hp);
        ch.lowPass.load(lp);
        ch.highPass.clearMemory();
        ch.lowPass.clearMemory();
        ch.threshold = static_cast<float>(dbToGain(p.threshold));
        ch.rangeGain = static_cast<float>(dbToGain(p.range));
        ch.fullGain = 1.f;
        ch.recoveryCoef = static_cast<float>(TimeToCoefficient(fs, p.recovery));
        ch.attackCoef = static_cast<float>(TimeToCoefficient(fs, 1.0));
        ch.holdLength = TimeToSamples(fs, 1.0);
        ch.holdCounter = 0;
    }
}

void NoiseStage::process(unsigned channel, float* data, const float* random, unsigned frames)
{
    Channel& s = memory[channel];
    BiquadSection hp = s.highPass, lp = s.lowPass;
    float g = s.gain, minGain = s.minGain, maxNoise = s.maxNoise;
    std::int32_t counter = s.holdCounter;
    for (unsigned i = 0; i < frames; ++i)
    {
        const float x = data[i];
        const float n = lp.tick(hp.tick(random[i] * s.amplitude));
        maxNoise = std::max(maxNoise, std::fabs(n));

        float target = s.fullGain;
        if (std::fabs(x) > s.threshold)
        {
            target = s.rangeGain;
            counter = s.holdLength;
        }
        counter = std::max(counter - 1, 0);
        if (counter > 0)
            target = s.rangeGain;

        const float c = target > g ? s.recoveryCoef : s.attackCoef;
        g = g + c * (target - g);
        minGain = std::min(minGain, g);
        data[i] = x + g * n;
    }
    s.highPass = hp;
    s.lowPass = lp;
    s.gain = g;
    s.minGain = minGain;
    s.maxNoise = maxNoise;
    s.holdCounter = counter;
}

float NoiseStage::readMaxNoise(unsigned channel)
{
    const float v = memory[channel].maxNoise;
    memory[channel].maxNoise = 0.f;
    return v;
}

float NoiseStage::readMinGain(unsigned channel)
{
    const float v = memory[channel].minGain;
    memory[channel].minGain = 1.f;
    return v;
}

void NoiseStage::resetChannel(unsigned channel)
{
    Channel& s = memory[channel];
    s.highPass.clearMemory();
    s.lowPass.clearMemory();
    s.gain = 0.f;
    s.holdCounter = 0;
    s.minGain = 1.f;
    s.maxNoise = 0.f;
}
