// High-pass and low-pass pair: two sections each, the second used for the 24 dB/oct slope.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/StageMemory.h"

#include <cstdint>

class FiltersStage
{
public:
    struct Channel
    {
        BiquadSection sections[4]; // HPF 1, HPF 2, LPF 1, LPF 2
    };

    // Designs and loads the sections; returns the tail length in samples.
    std::int32_t setup(unsigned sampleRate, const FiltersParams& p, bool bypass);
    // One channel, or every channel (data[c] is channel c) with up to four in parallel.
    void process(unsigned channel, float* data, unsigned frames);
    void processChannels(float* const* data, unsigned channels, unsigned frames);
    void resetChannel(unsigned channel);

    StageMemory<Channel> memory;
};

// Damping of a Filters or EQ pass section from its 0..100 Q control.
double passDamping(float qPercent);
