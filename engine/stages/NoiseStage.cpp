#include "engine/stages/NoiseStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/WideRegisters.h"
#include "engine/stages/StageLanes.h"

#include <algorithm>
#include <cmath>

void NoiseStage::setup(unsigned fs, const NoiseParams& p)
{
    const double a = static_cast<double>(p.level) - 6.0;
    const float amplitude = a < -143.0 ? 0.f : static_cast<float>(dbToGain(a));
    const BiquadCoefs hp = filters::HighPass2(fs, p.hpfFreq, 1.414);
    const BiquadCoefs lp = filters::LowPass2(fs, p.lpfFreq, 1.414);
    for (auto& ch : memory)
    {
        ch.amplitude = amplitude;
        ch.highPass.load(hp);
        ch.lowPass.load(lp);
        ch.highPass.clearMemory();
        ch.lowPass.clearMemory();
        ch.threshold = static_cast<float>(dbToGain(p.threshold));
        ch.rangeGain = static_cast<float>(dbToGain(p.range));
        ch.recoveryCoef = static_cast<float>(TimeToCoefficient(fs, p.recovery));
        ch.attackCoef = static_cast<float>(TimeToCoefficient(fs, 1.0));
        ch.holdLength = TimeToSamples(fs, 1.0);
        ch.holdCounter = 0;
    }
}

namespace
{
// random holds each channel's `frames` noise samples, channel after channel.
template <int L>
void runNoise(LaneGroup<NoiseChannel, L>& lanes, float* random, unsigned frames)
{
    using C = NoiseChannel;
    LaneIO<L> noiseIn;
    for (int l = 0; l < L; ++l)
        noiseIn.p[l] = random + static_cast<std::size_t>(lanes.first + l) * frames;
    BiquadLanes hp = lanes.section(&C::highPass), lp = lanes.section(&C::lowPass);
    const auto [amplitude, threshold, range, holdLength, attack, recovery] =
        lanes.gather(&C::amplitude, &C::threshold, &C::rangeGain, &C::holdLength, &C::attackCoef, &C::recoveryCoef);
    // Hold counts stay far below 2^24, so they count exactly in single precision.
    auto [counter, g, minGain, maxNoise] = lanes.gather(&C::holdCounter, &C::gain, &C::minGain, &C::maxNoise);
    const F4 zero(0.f), one(1.f);

    for (unsigned i = 0; i < frames; ++i)
    {
        const F4 x = lanes.io.load(i);
        const F4 n = lp.tick(hp.tick(noiseIn.load(i) * amplitude));
        maxNoise = max(abs(n), maxNoise);

        // Above the threshold the noise ducks to the range gain and holds there.
        const M4 loud = abs(x) > threshold;
        F4 target = select(loud, range, one);
        counter = max(select(loud, holdLength, counter) - one, zero);
        target = select(counter > zero, range, target);

        followTarget(g, minGain, target, recovery, attack);
        lanes.io.store(i, x + g * n);
    }

    lanes.scatterSection(&C::highPass, hp);
    lanes.scatterSection(&C::lowPass, lp);
    lanes.scatter(&C::holdCounter, counter, &C::gain, g, &C::minGain, minGain, &C::maxNoise, maxNoise);
}
} // namespace

void NoiseStage::processChannels(const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        for (unsigned c = 0; c < block.channels; ++c)
            m_random.fill(block.scratch + static_cast<std::size_t>(c) * block.frames, block.frames);
        forEachLaneGroup(memory, block, [&](auto& lanes) { runNoise(lanes, block.scratch, block.frames); });
    });
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

void NoiseChannel::restart()
{
    highPass.clearMemory();
    lowPass.clearMemory();
    gain = 0.f;
    holdCounter = 0;
    minGain = 1.f;
    maxNoise = 0.f;
}
