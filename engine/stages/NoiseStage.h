// Filtered noise added to the programme, ducking to the range level while the
// programme exceeds the threshold.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/StageMemory.h"

#include <cstdint>

class NoiseStage
{
public:
    struct Channel
    {
        float amplitude;
        BiquadSection highPass;
        BiquadSection lowPass;
        float threshold;
        float rangeGain;
        float fullGain;
        std::int32_t holdLength;
        float attackCoef;
        float recoveryCoef;
        std::int32_t holdCounter;
        float gain;
        float minGain;  // meter: reset to 1.0 when read
        float maxNoise; // meter: reset to 0.0 when read
    };

    void setup(unsigned sampleRate, const NoiseParams& p, bool bypass);
    // One channel, or every channel (data[c] and random[c] are channel c's) with up to
    // four in parallel.
    void process(unsigned channel, float* data, const float* random, unsigned frames);
    void processChannels(float* const* data, const float* const* random, unsigned channels, unsigned frames);
    // Meter reads reset the accumulators.
    float readMaxNoise(unsigned channel);
    float readMinGain(unsigned channel);
    void resetChannel(unsigned channel);

    StageMemory<Channel> memory;
};
