#include "engine/stages/GateStage.h"

#include "engine/Units.h"
#include "engine/simd/WideRegisters.h"
#include "engine/stages/GateFrames.h"
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
    GateFrames<L> gate(lanes);
    for (unsigned i = 0; i < frames; ++i)
        lanes.io.store(i, gate.next(lanes.io.load(i)));
    gate.finish();
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
