// The units the user sees turned into the engine's own: decibels into linear gains,
// milliseconds into sample counts and one-pole step sizes, and a section's time constant
// into the length of its 60 dB tail.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// A level in dB as a linear factor: 10^(dB/20).
inline double dbToGain(double db)
{
    return std::pow(10.0, db * 0.05);
}

// A one-pole step size that covers t ms: 1/(t*fs/1000), at most 1.
inline double TimeToCoefficient(unsigned sampleRate, double ms)
{
    const double x = ms * 0.001 * static_cast<double>(sampleRate);
    if (x == 0.0)
        return 1.0;
    return std::min(1.0 / x, 1.0);
}

// t ms as a whole number of samples, truncated.
inline std::int32_t TimeToSamples(unsigned sampleRate, double ms)
{
    return static_cast<std::int32_t>(ms * 0.001 * static_cast<double>(sampleRate));
}

// Time constants a decay takes to fall by 60 dB: ln(1000), rounded.
constexpr double kSixtyDbDecayTimeConstants = 6.91;

// Two equal sections in series: their tail counts 1 + ln 2 times one section's time constant.
constexpr double kDoubledSectionTimeConstants = 1.6931472;

// Samples a section of this time constant (in samples) takes to fall by 60 dB.
inline std::int32_t sixtyDbTail(double timeConstant)
{
    return static_cast<std::int32_t>(timeConstant * kSixtyDbDecayTimeConstants);
}
