// The EQ band: one high-pass, peaking or low-pass section.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/Stage.h"

class EqStage : public Stage<SectionsChannel<1>, EqParams>
{
public:
    // Designs and loads the section and finds the tail.
    void setup(unsigned sampleRate, const EqParams& p);
    void processChannels(const ChannelBlock& block);
};

// The EQ section for a filter type (0 high-pass, 1 peaking, 2 low-pass; anything else flat).
BiquadCoefs designEqSection(unsigned sampleRate, const EqParams& p);
