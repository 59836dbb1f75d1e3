// Envelope-driven gain distortion: a gain curve read at the envelope level, optional
// rectification, hard clipping at +-1 and a 20 Hz DC-removing high-pass.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/StageMemory.h"

#include <cstdint>

class DistortionStage
{
public:
    static constexpr int kCurveSize = 256;

    struct Channel
    {
        float drive;
        float floor;
        float envB0, envB1, envA1;
        float prevRectified;
        float prevEnvelope;
        float risingCoef;
        float fallingCoef;
        float envelopeTerm;
        float rectifyThreshold;
        float negativeGain; // factor applied to the negative half-wave: 1 + this
        float makeUp;
        BiquadSection highPass;
        float interpolation;
        float gain;
        float wet, dry, outputScale;
        float curve[kCurveSize];
    };

    void setup(unsigned sampleRate, const DistortionParams& p, bool bypass);
    // One channel, or every channel (data[c] is channel c) with up to four in parallel.
    void process(unsigned channel, float* data, unsigned frames);
    void processChannels(float* const* data, unsigned channels, unsigned frames);
    void resetChannel(unsigned channel);

    StageMemory<Channel> memory;
};

// Make-up gain for an amount 0..100 in mode 0..9 (exposed for tests).
double distortionMakeUp(double amount, int mode);
