// The device simulation: seven sections of a catalogue model, then its output level.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/sim/SimModel.h"
#include "engine/stages/StageMemory.h"

#include <cstdint>

class SimStage
{
public:
    struct Channel
    {
        BiquadSection sections[kSimSectionCount];
    };

    // Designs and loads the model's sections; returns the tail length in samples.
    std::int32_t setup(unsigned sampleRate, const SimParams& p, bool bypass);
    // One channel, or every channel (data[c] is channel c) with up to four in parallel.
    void process(unsigned channel, float* data, unsigned frames);
    void processChannels(float* const* data, unsigned channels, unsigned frames);
    void resetChannel(unsigned channel);

    float wetGain() const { return m_wet; }
    float dryGain() const { return m_dry; }

    StageMemory<Channel> memory;

private:
    float m_wet = 1.f;
    float m_dry = 0.f;
};

// Linear gain of a model level: below 0 it is dB, otherwise already linear.
double simLevelToGain(double level);

// Tail of a loaded chain: the slowest section's 60 dB tail, in samples.
std::int32_t SimTailLength(const BiquadSection (&sections)[kSimSectionCount]);
