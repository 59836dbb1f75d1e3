// Bit-depth reduction, sample hold and a band-limiting band-pass.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/StageMemory.h"

#include <cstdint>

class LoFiStage
{
public:
    struct Channel
    {
        float inputGain;
        std::int32_t shift;
        std::int32_t holdFactor;
        BiquadSection bandPass;
        float held;
        std::int32_t holdCounter;
        float outputGain;
    };

    void setup(unsigned sampleRate, const LoFiParams& p, bool bypass);
    // One channel, or every channel (data[c] is channel c) with up to four in parallel.
    void process(unsigned channel, float* data, unsigned frames);
    void processChannels(float* const* data, unsigned channels, unsigned frames);
    void resetChannel(unsigned channel);

    StageMemory<Channel> memory;
};

// Bits kept for a bit-depth type 0..15 (24 down to 2).
int bitsForType(int type);

// Samples each new value is held for: 0 for index 0, else index + 1 (matching the
// rates 48000/(index + 1) the list shows), doubled above 48000 Hz.
std::int32_t holdFactorFor(int downSampleIndex, unsigned sampleRate);
