#include "engine/stages/GateStage.h"

#include "engine/stages/TimeConversions.h"

#include <algorithm>
#include <cmath>

void GateStage::setup(unsigned fs, const GateParams& p, bool bypass)
{
    for (auto& ch : memory)
    {
        ch.threshold = static_cast<float>(dbToGain(p.threshold));
        ch.rangeGain = bypass ? 1.f : static_cast<float>(dbToGain(p.range));
        ch.openGain = 1.f;
        ch.attackCoef = static_cast<float>(TimeToCoefficient(fs, p.attack));
        ch.holdLength = TimeToSamples(fs, p.hold);
        ch.releaseCoef = static_cast<float>(TimeToCoefficient(fs, p.release));
        ch.holdCounter = 0;
        ch.gain = 0.f;
    }
}

void GateStage::process(unsigned channel, float* data, unsigned frames)
{
    Channel& s = memory[channel];
    float g = s.gain;
    float minGain = 1.f;
    std::int32_t counter = s.holdCounter;
    const float threshold = std::fabs(s.threshold);
    for (unsigned i = 0; i < frames; ++i)
    {
        const float x = data[i];
        float target = s.rangeGain;
        if (!(threshold > std::fabs(x)))
        {
            target = s.openGain;
            counter = s.holdLength;
        }
        counter = std::max(counter - 1, 0);
        if (counter > 0)
            target = s.openGain;

        const float c = target > g ? s.attackCoef : s.releaseCoef;
        g = g + c * (target - g);
        minGain = std::min(minGain, g);
        data[i] = g * x;
    }
    s.gain = g;
    s.minGain = minGain;
    s.holdCounter = counter;
}

void GateStage::resetChannel(unsigned channel)
{
    memory[channel].gain = 0.f;
    memory[channel].holdCounter = 0;
}
