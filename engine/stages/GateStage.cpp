#include "engine/stages/GateStage.h"

#include "engine/Units.h"
#include "engine/simd/WideRegisters.h"
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
        ch.restart();
    }
}

namespace
{
template <int L>
void runGate(LaneGroup<GateChannel, L>& lanes, unsigned frames)
{
    using C = GateChannel;
    const auto [thresholdGain, range, holdLength, attack, release] =
        lanes.gather(&C::threshold, &C::rangeGain, &C::holdLength, &C::attackCoef, &C::releaseCoef);
    const F4 threshold = abs(thresholdGain);
    auto [counter, g] = lanes.gather(&C::holdCounter, &C::gain);
    F4 minGain(1.f);
    const F4 zero(0.f), one(1.f);

    for (unsigned i = 0; i < frames; ++i)
    {
        const F4 x = lanes.io.load(i);
        // Below the threshold the gate closes to the range gain once the hold has run out.
        const M4 closed = threshold > abs(x);
        F4 target = select(closed, range, one);
        counter = max(select(closed, counter, holdLength) - one, zero);
        target = select(counter > zero, one, target);

        followTarget(g, minGain, target, attack, release);
        lanes.io.store(i, g * x);
    }

    lanes.scatter(&C::holdCounter, counter, &C::gain, g, &C::minGain, minGain);
}
} // namespace

void GateStage::processChannels(const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        forEachLaneGroup(memory, block, [&](auto& lanes) { runGate(lanes, block.frames); });
    });
}

void GateChannel::restart()
{
    gain = 0.f;
    holdCounter = 0;
}
