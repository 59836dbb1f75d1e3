// Bit-depth reduction, sample hold and a band-limiting band-pass.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/Stage.h"

#include <cstdint>

struct LoFiChannel
{
    std::int32_t shift; // bits dropped below the 24-bit grid
    std::int32_t holdFactor;
    BiquadSection bandPass;
    float held;
    std::int32_t holdCounter;

    // Clears what a channel carries from one sample to the next.
    void restart();
};

class LoFiStage : public Stage<LoFiChannel, LoFiParams>
{
public:
    void setup(unsigned sampleRate, const LoFiParams& p);
    void processChannels(const ChannelBlock& block);
};

// Samples each new value is held for: the down-sample index's divisor of 48000 Hz,
// doubled above 48000 Hz so that the reduced rate stays the same; 0 for index 0.
std::int32_t holdFactorFor(int downSampleIndex, unsigned sampleRate);
