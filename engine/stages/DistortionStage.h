// Envelope-driven gain distortion: a gain curve read at the envelope level, optional
// rectification, hard clipping at +-1 and a 20 Hz DC-removing high-pass.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/Stage.h"

// The level the rectified input is measured from: -48 dB.
constexpr double kDistortionFloor = 0.003981071705534969;

struct DistortionChannel
{
    static constexpr int kCurveSize = 256;

    float envB0, envB1, envA1;
    float prevRectified;
    float prevEnvelope;
    float risingCoef;
    float fallingCoef;
    float envelopeTerm;
    float negativeGain; // factor applied to the negative half-wave: 1 + this
    float makeUp;
    BiquadSection highPass;
    float gain;
    float curve[kCurveSize];

    // Clears what a channel carries from one sample to the next.
    void restart();
};

class DistortionStage : public Stage<DistortionChannel, DistortionParams>
{
public:
    static constexpr int kCurveSize = DistortionChannel::kCurveSize;

    void setup(unsigned sampleRate, const DistortionParams& p);
    void processChannels(const ChannelBlock& block);
};

// Make-up gain for an amount 0..100 in mode 0..9 (exposed for tests).
double distortionMakeUp(double amount, int mode);
