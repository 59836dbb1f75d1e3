// High-pass and low-pass pair: two sections each, the second used for the 24 dB/oct slope.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/Stage.h"

struct FiltersChannel
{
    BiquadSection sections[4]; // HPF 1, HPF 2, LPF 1, LPF 2
};

class FiltersStage : public Stage<FiltersChannel>
{
public:
    using Params = FiltersParams;

    // Designs and loads the sections and finds the tail.
    void setup(unsigned sampleRate, const FiltersParams& p);
    void processChannels(const ChannelBlock& block);
    void resetChannel(unsigned channel);
};
