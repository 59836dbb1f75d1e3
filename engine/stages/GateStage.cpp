#include "engine/stages/GateStage.h"

#include "engine/Units.h"
#include "engine/stages/StageLanes.h"

#include <algorithm>
#include <cmath>

void GateStage::setup(unsigned fs, const GateParams& p)
{
    for (auto& ch : memory)
    {
        ch.threshold = static_cast<float>(dbToGain(p.threshold));
        ch.rangeGain = static_cast<float>(dbToGain(p.range));
        ch.attackCoef = static_cast<float>(TimeToCoefficient(fs, p.attack));
        ch.holdLength = TimeToSamples(fs, p.hold);
        ch.releaseCoef = static_cast<float>(TimeToCoefficient(fs, p.release));
        ch.holdCounter = 0;
        ch.gain = 0.f;
    }
}

namespace
{
template <int L>
void runGate(LaneGroup<GateChannel, L>& lanes, unsigned frames)
{
    using Channel = GateChannel;
    auto& ch = lanes.ch;
    const LaneIO<L>& io = lanes.io;
    const F4 threshold = abs(gatherField(ch, &Channel::threshold));
    const F4 range = gatherField(ch, &Channel::rangeGain);
    const F4 holdLength = gatherField(ch, &Channel::holdLength);
    const F4 attack = gatherField(ch, &Channel::attackCoef);
    const F4 release = gatherField(ch, &Channel::releaseCoef);
    F4 counter = gatherField(ch, &Channel::holdCounter);
    F4 g = gatherField(ch, &Channel::gain);
    F4 minGain(1.f);
    const F4 zero(0.f), one(1.f);

    for (unsigned i = 0; i < frames; ++i)
    {
        const F4 x = io.load(i);
        // Below the threshold the gate closes to the range gain once the hold has run out.
        const M4 closed = threshold > abs(x);
        F4 target = select(closed, range, one);
        counter = max(select(closed, counter, holdLength) - one, zero);
        target = select(counter > zero, one, target);

        const F4 c = select(target > g, attack, release);
        g = g + c * (target - g);
        minGain = min(g, minGain);
        io.store(i, g * x);
    }

    scatterField(ch, &Channel::holdCounter, counter);
    scatterField(ch, &Channel::gain, g);
    scatterField(ch, &Channel::minGain, minGain);
}
} // namespace

void GateStage::processChannels(const ChannelBlock& block)
{
    forEachLaneGroup(memory, block, [&](auto& lanes) { runGate(lanes, block.frames); });
}

void GateStage::resetChannel(unsigned channel)
{
    memory[channel].gain = 0.f;
    memory[channel].holdCounter = 0;
}
