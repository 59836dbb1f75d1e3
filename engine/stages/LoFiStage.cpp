#include "engine/stages/LoFiStage.h"

#include "engine/filters/FilterDesign.h"

#include <cmath>

int bitsForType(int type)
{
    static constexpr int kBits[16] = {24, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
    return type >= 0 && type < 16 ? kBits[type] : 24;
}

std::int32_t holdFactorFor(int downSampleIndex, unsigned sampleRate)
{
    if (downSampleIndex <= 0)
        return 0;
    const std::int32_t factor = downSampleIndex + 1;
    return sampleRate > 48000 ? factor * 2 : factor;
}

void LoFiStage::setup(unsigned fs, const LoFiParams& p, bool bypass)
{
    const std::int32_t shift = bypass ? 0 : 24 - bitsForType(p.bitDepthType);
    const std::int32_t holdFactor = bypass ? 0 : holdFactorFor(p.downSampleIndex, fs);
    const double x = static_cast<double>(p.filter) * 0.01;
    const double top = bypass ? 20000.0 : 20000.0 - 19000.0 * (x > 0.0 ? std::sqrt(x) : 0.0);
    const BiquadCoefs band = filters::BandPass1(fs, 20.0, top);
    for (auto& ch : memory)
    {
        ch.inputGain = 1.f;
        ch.shift = shift;
        ch.holdFactor = holdFactor;
        ch.bandPass.load(band);
        ch.bandPass.clearMemory();
        ch.held = 0.f;
        ch.holdCounter = 0;
        ch.outputGain = 1.f;
    }
}

void LoFiStage::process(unsigned channel, float* data, unsigned frames)
{
    Channel& s = memory[channel];
    // Scaling by powers of two is exact, so the float form gives the integer grid exactly
    // and stays defined for samples far outside [-1, 1].
    const float down = std::ldexp(1.f, -s.shift);
    const float up = std::ldexp(1.f, s.shift);
    BiquadSection band = s.bandPass;
    float held = s.held;
    std::int32_t counter = s.holdCounter;
    for (unsigned i = 0; i < frames; ++i)
    {
        const float q = std::round(data[i] * 8388607.f * down) * up * 1.192093e-7f;
        if (counter > 1)
        {
            --counter;
        }
        else
        {
            held = q;
            counter = s.holdFactor;
        }
        data[i] = band.tick(held) * s.outputGain;
    }
    s.bandPass = band;
    s.held = held;
    s.holdCounter = counter;
}

void LoFiStage::resetChannel(unsigned channel)
{
    Channel& s = memory[channel];
    s.bandPass.clearMemory();
    s.held = 0.f;
    s.holdCounter = 0;
}
