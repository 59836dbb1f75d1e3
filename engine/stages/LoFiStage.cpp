#include "engine/stages/LoFiStage.h"

#include "engine/filters/FilterDesign.h"
#include "engine/simd/Lanes.h"

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

namespace
{
template <int L>
void runLoFi(LoFiStage& stage, unsigned first, float* const* data, unsigned frames)
{
    using Channel = LoFiStage::Channel;
    Channel* ch[L];
    BiquadSection* bands[L];
    LaneIO<L> io;
    float down[4] = {1.f, 1.f, 1.f, 1.f}, up[4] = {1.f, 1.f, 1.f, 1.f};
    for (int l = 0; l < L; ++l)
    {
        ch[l] = &stage.memory[first + l];
        bands[l] = &ch[l]->bandPass;
        io.p[l] = data[l];
        // Scaling by powers of two is exact, so rounding the scaled sample gives the
        // integer grid of the reduced bit depth.
        down[l] = std::ldexp(1.f, -ch[l]->shift);
        up[l] = std::ldexp(1.f, ch[l]->shift);
    }
    BiquadLanes band;
    band.gather(bands);
    const F4 scaleDown = F4::load(down), scaleUp = F4::load(up);
    const F4 holdFactor = gatherField(ch, &Channel::holdFactor);
    const F4 outputGain = gatherField(ch, &Channel::outputGain);
    F4 held = gatherField(ch, &Channel::held);
    F4 counter = gatherField(ch, &Channel::holdCounter);
    const F4 fullScale(8388607.f), lsb(1.192093e-7f), one(1.f);

    for (unsigned i = 0; i < frames; ++i)
    {
        const F4 q = roundHalfAway(io.load(i) * fullScale * scaleDown) * scaleUp * lsb;
        // A new value is taken once the hold count has run down, then held.
        const M4 holding = counter > one;
        held = select(holding, held, q);
        counter = select(holding, counter - one, holdFactor);
        io.store(i, band.tick(held) * outputGain);
    }

    band.scatter(bands);
    scatterField(ch, &Channel::held, held);
    scatterField(ch, &Channel::holdCounter, counter);
}
} // namespace

void LoFiStage::process(unsigned channel, float* data, unsigned frames)
{
    runLoFi<1>(*this, channel, &data, frames);
}

void LoFiStage::processChannels(float* const* data, unsigned channels, unsigned frames)
{
    forLaneGroups(channels, [&](auto lanes, unsigned first) {
        runLoFi<decltype(lanes)::value>(*this, first, data + first, frames);
    });
}

void LoFiStage::resetChannel(unsigned channel)
{
    Channel& s = memory[channel];
    s.bandPass.clearMemory();
    s.held = 0.f;
    s.holdCounter = 0;
}
