// Noise gate with attack, hold and release, closing to the range gain.
#pragma once

#include "engine/EngineParams.h"
#include "engine/stages/Stage.h"

#include <cstdint>

struct GateChannel
{
    float threshold;
    float rangeGain;
    std::int32_t holdLength;
    float releaseCoef;
    float attackCoef;
    std::int32_t holdCounter;
    float gain;
    float minGain; // meter: smallest gain of the last block

    // Clears what a channel carries from one sample to the next.
    void restart();
};

class GateStage : public Stage<GateChannel, GateParams>
{
public:
    void setup(unsigned sampleRate, const GateParams& p);
    void processChannels(const ChannelBlock& block);

    // The level entering the gate is metered, and so is the gate's smallest gain.
    static constexpr int kInputPeakMeter = kMeterPreGate;
    void readMeters(unsigned channel, float (&meters)[kMetersPerChannel])
    {
        meters[kMeterGateGain] = memory[channel].minGain;
    }
};
