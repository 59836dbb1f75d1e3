// The EQ band: one high-pass, peaking or low-pass section.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/StageMemory.h"

#include <cstdint>

class EqStage
{
public:
    struct Channel
    {
        BiquadSection section[1];
    };

    // Designs and loads the section; returns the tail length in samples.
    std::int32_t setup(unsigned sampleRate, const EqParams& p, bool bypass);
    // One channel, or every channel (data[c] is channel c) with up to four in parallel.
    void process(unsigned channel, float* data, unsigned frames);
    void processChannels(float* const* data, unsigned channels, unsigned frames);
    void resetChannel(unsigned channel) { memory[channel].section[0].clearMemory(); }

    StageMemory<Channel> memory;
};

// The EQ section for a filter type (0 high-pass, 1 peaking, 2 low-pass; anything else flat).
BiquadCoefs designEqSection(unsigned sampleRate, const EqParams& p);
