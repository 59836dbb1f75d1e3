#include "engine/stages/GateStage.h"

#include "engine/stages/GateKernel.h"
#include "engine/stages/TimeConversions.h"

#include <algorithm>
#include <cmath>

void GateStage::setup(unsigned fs, const GateParams& p, bool bypass)
{
    for (auto& ch : memory)
    {
        ch.threshold = static_cast<float>(dbToGain(p.threshold));
        ch.rangeGain = bypass ? 1.f : static_cast<float>(dbToGain(p.range));
        ch.openGain = 1.f;
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
void runGate(GateStage& stage, unsigned first, float* const* data, unsigned frames)
{
    LaneIO<L> io;
    for (int l = 0; l < L; ++l)
        io.p[l] = data[l];
    GateKernel<L> gate(stage, first);
    for (unsigned i = 0; i < frames; ++i)
        io.store(i, gate.tick(io.load(i)));
    gate.finish();
}
} // namespace

void GateStage::process(unsigned channel, float* data, unsigned frames)
{
    runGate<1>(*this, channel, &data, frames);
}

void GateStage::processChannels(float* const* data, unsigned channels, unsigned frames)
{
    forLaneGroups(channels, [&](auto lanes, unsigned first) {
        runGate<decltype(lanes)::value>(*this, first, data + first, frames);
    });
}

void GateStage::resetChannel(unsigned channel)
{
    memory[channel].gain = 0.f;
    memory[channel].holdCounter = 0;
}
