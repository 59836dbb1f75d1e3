// High-pass and low-pass pair: two sections each, the second used for the 24 dB/oct slope.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/Stage.h"

// Sections HPF 1, HPF 2, LPF 1, LPF 2 per channel.
class FiltersStage : public Stage<SectionsChannel<4>, FiltersParams>
{
public:
    // Designs and loads the sections and finds the tail.
    void setup(unsigned sampleRate, const FiltersParams& p);
    void processChannels(const ChannelBlock& block);
};
