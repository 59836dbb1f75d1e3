#include "engine/stages/GateStage.h"

#include "engine/Units.h"
#include "engine/stages/GateFrames.h"

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

void GateStage::processChannels(const ChannelBlock& block)
{
    runFramesOfLanes<GateFrames>(memory, block);
}

void GateChannel::restart()
{
    gain = 0.f;
    holdCounter = 0;
}
