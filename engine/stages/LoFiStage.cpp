#include "engine/stages/LoFiStage.h"

#include "engine/filters/FilterDesign.h"
#include "engine/stages/StageLanes.h"
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

namespace
{
template <int L>
void runLoFi(LaneGroup<LoFiChannel, L>& lanes, unsigned frames)
{
    using C = LoFiChannel;
    float down[4] = {1.f, 1.f, 1.f, 1.f}, up[4] = {1.f, 1.f, 1.f, 1.f};
    for (int l = 0; l < L; ++l)
    {
        // Scaling by powers of two is exact, so rounding the scaled sample gives the
        // integer grid of the reduced bit depth.
        down[l] = std::ldexp(1.f, -lanes.ch[l]->shift);
        up[l] = std::ldexp(1.f, lanes.ch[l]->shift);
    }
    BiquadLanes band = lanes.section(&C::bandPass);
    const F4 scaleDown = F4::load(down), scaleUp = F4::load(up);
    const F4 holdFactor = lanes.gather(&C::holdFactor)[0];
    auto [held, counter] = lanes.gather(&C::held, &C::holdCounter);
    const F4 fullScale(8388607.f), lsb(1.192093e-7f), one(1.f);

    for (unsigned i = 0; i < frames; ++i)
    {
        const F4 q = roundHalfAway(lanes.io.load(i) * fullScale * scaleDown) * scaleUp * lsb;
        // A new value is taken once the hold count has run down, then held.
        const M4 holding = counter > one;
        held = select(holding, held, q);
        counter = select(holding, counter - one, holdFactor);
        lanes.io.store(i, band.tick(held));
    }

    lanes.scatterSection(&C::bandPass, band);
    lanes.scatter(&C::held, held, &C::holdCounter, counter);
}
} // namespace

void LoFiStage::processChannels(const ChannelBlock& block)
{
    forEachLaneGroup(memory, block, [&](auto& lanes) { runLoFi(lanes, block.frames); });
}

void LoFiChannel::restart()
{
    bandPass.clearMemory();
    held = 0.f;
    holdCounter = 0;
}
