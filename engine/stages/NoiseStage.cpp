#include "engine/stages/NoiseStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/WideRegisters.h"
#include "engine/stages/StageLanes.h"

#include <algorithm>
#include <array>
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
    const std::array<F4, 6> setup =
        lanes.gather(&C::amplitude, &C::threshold, &C::rangeGain, &C::holdLength, &C::attackCoef, &C::recoveryCoef);
    const F4 amplitude = setup[0], threshold = setup[1], range = setup[2], holdLength = setup[3];
    const F4 attack = setup[4], recovery = setup[5];
    // Hold counts stay far below 2^24, so they count exactly in single precision.
    const std::array<F4, 4> state = lanes.gather(&C::holdCounter, &C::gain, &C::minGain, &C::maxNoise);
    F4 counter = state[0], g = state[1], minGain = state[2], maxNoise = state[3];
    const F4 zero(0.f), one(1.f);

    // The programme ducks the filtered noise n of frame i and takes it in.
    auto duck = [&](unsigned i, F4 n) {
        maxNoise = max(abs(n), maxNoise);
        const F4 x = lanes.io.load(i);
        // Above the threshold the noise ducks to the range gain and holds there.
        const M4 loud = abs(x) > threshold;
        F4 target = select(loud, range, one);
        counter = max(select(loud, holdLength, counter) - one, zero);
        target = select(counter > zero, range, target);

        followTarget(g, minGain, target, recovery, attack);
        lanes.io.store(i, x + g * n);
    };

    unsigned done = 0;
    if constexpr (L == 1)
    {
        if (frames >= 2)
        {
            // One channel: the high-pass in lane 0 and the low-pass in lane 1 of one vector,
            // the low-pass two frames behind (its input is the high-pass's output of two steps
            // before), so that one step advances both filters and neither waits on the other.
            F4 before2 = hp.tick(noiseIn.load(0) * amplitude);
            F4 before1 = hp.tick(noiseIn.load(1) * amplitude);
            BiquadLanes both;
            both.b0 = interleaveLow(hp.b0, lp.b0);
            both.b1 = interleaveLow(hp.b1, lp.b1);
            both.b2 = interleaveLow(hp.b2, lp.b2);
            both.a1 = interleaveLow(hp.a1, lp.a1);
            both.a2 = interleaveLow(hp.a2, lp.a2);
            both.x1 = interleaveLow(hp.x1, lp.x1);
            both.x2 = interleaveLow(hp.x2, lp.x2);
            both.y1 = interleaveLow(hp.y1, lp.y1);
            both.y2 = interleaveLow(hp.y2, lp.y2);
            for (unsigned t = 2; t < frames; ++t)
            {
                const F4 y = both.tick(interleaveLow(noiseIn.load(t) * amplitude, before2));
                before2 = before1;
                before1 = y;
                duck(t - 2, secondLaneFirst(y));
            }
            // Apart again: the low-pass takes the high-pass's last two frames alone.
            const auto first = [](F4 v) { return F4::lanes(v.first(), 0.f, 0.f, 0.f); };
            hp.x1 = first(both.x1);
            hp.x2 = first(both.x2);
            hp.y1 = first(both.y1);
            hp.y2 = first(both.y2);
            lp.x1 = secondLaneFirst(both.x1);
            lp.x2 = secondLaneFirst(both.x2);
            lp.y1 = secondLaneFirst(both.y1);
            lp.y2 = secondLaneFirst(both.y2);
            duck(frames - 2, lp.tick(first(before2)));
            duck(frames - 1, lp.tick(first(before1)));
            done = frames;
        }
    }
    for (unsigned i = done; i < frames; ++i)
        duck(i, lp.tick(hp.tick(noiseIn.load(i) * amplitude)));

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
