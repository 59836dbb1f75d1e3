#include "engine/stages/LoFiStage.h"

#include "engine/filters/FilterDesign.h"
#include "engine/stages/LoFiFrames.h"
#include "params/LoFiSteps.h"

#include <cmath>

std::int32_t holdFactorFor(int downSampleIndex, unsigned sampleRate)
{
    const std::int32_t factor = downSampleDivisor(downSampleIndex);
    return sampleRate > 48000 ? factor * 2 : factor;
}

void LoFiStage::setup(unsigned fs, const LoFiParams& p)
{
    const std::int32_t shift = kFullDepthBits - bitsForDepthType(p.bitDepthType);
    const std::int32_t holdFactor = holdFactorFor(p.downSampleIndex, fs);
    const double x = static_cast<double>(p.filter) * 0.01;
    const double top = 20000.0 - 19000.0 * (x > 0.0 ? std::sqrt(x) : 0.0);
    const BiquadCoefs band = filters::BandPass1(fs, 20.0, top);
    for (auto& ch : memory)
    {
        ch.shift = shift;
        ch.holdFactor = holdFactor;
        ch.bandPass.load(band);
        ch.restart();
    }
}

void LoFiStage::processChannels(const ChannelBlock& block)
{
    runFramesOfLanes<LoFiFrames>(memory, block);
}

void LoFiChannel::restart()
{
    bandPass.clearMemory();
    held = 0.f;
    holdCounter = 0;
}
