// The device simulation: seven sections of a catalogue model, then its output level.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/sim/SimModel.h"
#include "engine/stages/Stage.h"

class SimStage : public Stage<SectionsChannel<kSimSectionCount>, SimParams>
{
public:
    // Designs and loads the model's sections and finds the tail.
    void setup(unsigned sampleRate, const SimParams& p);
    void processChannels(const ChannelBlock& block);

    // The model's level as a linear gain on the processed signal.
    float wetGain() const { return m_wet; }

private:
    float m_wet = 1.f;
};

// Linear gain of a model level: below 0 it is dB, otherwise already linear.
double simLevelToGain(double level);

// Tail of a loaded chain: the slowest section's 60 dB tail, in samples.
std::int32_t SimTailLength(const BiquadSection (&sections)[kSimSectionCount]);
