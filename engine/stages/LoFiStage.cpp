#include "engine/stages/LoFiStage.h"

#include "engine/filters/FilterDesign.h"
#include "engine/simd/WideRegisters.h"
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
// Every sample of one channel on the reduced bit depth's grid, in place, four samples at a
// time: the grid does not depend on the samples before, so time can fill the lanes.
void quantise(float* x, unsigned frames, std::int32_t shift)
{
    // Scaling by powers of two is exact, so rounding the scaled sample gives the integer
    // grid of the reduced bit depth.
    const F4 scaleDown(std::ldexp(1.f, -shift)), scaleUp(std::ldexp(1.f, shift));
    const F4 fullScale(8388607.f), lsb(1.192093e-7f);
    const auto onGrid = [&](F4 v) { return roundHalfAway(v * fullScale * scaleDown) * scaleUp * lsb; };
    unsigned i = 0;
    for (; i + 4 <= frames; i += 4)
        onGrid(F4::load(x + i)).store(x + i);
    if (i < frames)
    {
        alignas(16) float rest[4] = {0.f, 0.f, 0.f, 0.f};
        for (unsigned j = i; j < frames; ++j)
            rest[j - i] = x[j];
        onGrid(F4::load(rest)).store(rest);
        for (unsigned j = i; j < frames; ++j)
            x[j] = rest[j - i];
    }
}

template <int L>
void runLoFi(LaneGroup<LoFiChannel, L>& lanes, unsigned frames)
{
    using C = LoFiChannel;
    for (int l = 0; l < L; ++l)
        quantise(lanes.io.p[l], frames, lanes.ch[l]->shift);
    BiquadLanes band = lanes.section(&C::bandPass);
    const F4 holdFactor = lanes.gather(&C::holdFactor)[0];
    auto [held, counter] = lanes.gather(&C::held, &C::holdCounter);
    const F4 one(1.f);

    for (unsigned i = 0; i < frames; ++i)
    {
        const F4 q = lanes.io.load(i);
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
    runOnWidestRegisters([&] {
        forEachLaneGroup(memory, block, [&](auto& lanes) { runLoFi(lanes, block.frames); });
    });
}

void LoFiChannel::restart()
{
    bandPass.clearMemory();
    held = 0.f;
    holdCounter = 0;
}
