// Noise gate with attack, hold and release, closing to the range gain.
#pragma once

#include "engine/EngineParams.h"
#include "engine/stages/StageMemory.h"

#include <cstdint>

class GateStage
{
public:
    struct Channel
    {
        float threshold;
        float rangeGain;
        float openGain;
        std::int32_t holdLength;
        float releaseCoef;
        float attackCoef;
        std::int32_t holdCounter;
        float gain;
        float minGain; // meter: smallest gain of the last block
    };

    void setup(unsigned sampleRate, const GateParams& p, bool bypass);
    // One channel, or every channel (data[c] is channel c) with up to four in parallel.
    void process(unsigned channel, float* data, unsigned frames);
    void processChannels(float* const* data, unsigned channels, unsigned frames);
    float minGain(unsigned channel) const { return memory[channel].minGain; }
    void resetChannel(unsigned channel);

    StageMemory<Channel> memory;
};
