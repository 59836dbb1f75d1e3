#include "engine/stages/NoiseStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
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
    using Channel = NoiseChannel;
    auto& ch = lanes.ch;
    const LaneIO<L>& io = lanes.io;
    BiquadSection* highPass[L];
    BiquadSection* lowPass[L];
    LaneIO<L> noiseIn;
    for (int l = 0; l < L; ++l)
    {
        highPass[l] = &ch[l]->highPass;
        lowPass[l] = &ch[l]->lowPass;
        noiseIn.p[l] = random + static_cast<std::size_t>(lanes.first + l) * frames;
    }
    BiquadLanes hp, lp;
    hp.gather(highPass);
    lp.gather(lowPass);
    const F4 amplitude = gatherField(ch, &Channel::amplitude);
    const F4 threshold = gatherField(ch, &Channel::threshold);
    const F4 range = gatherField(ch, &Channel::rangeGain);
    const F4 holdLength = gatherField(ch, &Channel::holdLength);
    const F4 attack = gatherField(ch, &Channel::attackCoef);
    const F4 recovery = gatherField(ch, &Channel::recoveryCoef);
    // Hold counts stay far below 2^24, so they count exactly in single precision.
    F4 counter = gatherField(ch, &Channel::holdCounter);
    F4 g = gatherField(ch, &Channel::gain);
    F4 minGain = gatherField(ch, &Channel::minGain);
    F4 maxNoise = gatherField(ch, &Channel::maxNoise);
    const F4 zero(0.f), one(1.f);

    for (unsigned i = 0; i < frames; ++i)
    {
        const F4 x = io.load(i);
        const F4 n = lp.tick(hp.tick(noiseIn.load(i) * amplitude));
        maxNoise = max(abs(n), maxNoise);

        // Above the threshold the noise ducks to the range gain and holds there.
        const M4 loud = abs(x) > threshold;
        F4 target = select(loud, range, one);
        counter = max(select(loud, holdLength, counter) - one, zero);
        target = select(counter > zero, range, target);

        const F4 c = select(target > g, recovery, attack);
        g = g + c * (target - g);
        minGain = min(g, minGain);
        io.store(i, x + g * n);
    }

    hp.scatter(highPass);
    lp.scatter(lowPass);
    scatterField(ch, &Channel::holdCounter, counter);
    scatterField(ch, &Channel::gain, g);
    scatterField(ch, &Channel::minGain, minGain);
    scatterField(ch, &Channel::maxNoise, maxNoise);
}
} // namespace

void NoiseStage::processChannels(const ChannelBlock& block)
{
    for (unsigned c = 0; c < block.channels; ++c)
        m_random.fill(block.scratch + static_cast<std::size_t>(c) * block.frames, block.frames);
    forEachLaneGroup(memory, block, [&](auto& lanes) { runNoise(lanes, block.scratch, block.frames); });
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
