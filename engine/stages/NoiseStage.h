// Filtered noise added to the programme, ducking to the range level while the
// programme exceeds the threshold.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/RandomGenerator.h"
#include "engine/stages/Stage.h"

#include <cstddef>
#include <cstdint>

struct NoiseChannel
{
    float amplitude;
    BiquadSection highPass;
    BiquadSection lowPass;
    float threshold;
    float rangeGain;
    std::int32_t holdLength;
    float attackCoef;
    float recoveryCoef;
    std::int32_t holdCounter;
    float gain;
    float minGain;  // meter: reset to 1.0 when read
    float maxNoise; // meter: reset to 0.0 when read

    // Clears what a channel carries from one sample to the next.
    void restart();
};

class NoiseStage : public Stage<NoiseChannel, NoiseParams>
{
public:
    void setup(unsigned sampleRate, const NoiseParams& p);
    // Draws each channel's noise, channel after channel, into the block's working memory.
    void processChannels(const ChannelBlock& block);

    // One random sample per sample of the buffer.
    static constexpr std::size_t scratchFloats(std::size_t samples) { return samples; }

    // The level that drives the ducking is metered, and so are the noise and the ducking.
    static constexpr int kInputPeakMeter = kMeterPreNoise;
    void readMeters(unsigned channel, float (&meters)[kMetersPerChannel])
    {
        meters[kMeterDucking] = readMinGain(channel);
        meters[kMeterNoise] = readMaxNoise(channel);
    }
    // Meter reads reset the accumulators.
    float readMaxNoise(unsigned channel);
    float readMinGain(unsigned channel);

private:
    // One source for every channel and every buffer, whether or not the stage has memory.
    RandomGenerator m_random;
};
