// Millisecond times to smoothing coefficients and sample counts.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// A one-pole step size that covers t ms: 1/(t*fs/1000), at most 1.
inline double TimeToCoefficient(unsigned sampleRate, double ms)
{
    const double x = ms * 0.001 * static_cast<double>(sampleRate);
    if (x == 0.0)
        return 1.0;
    return std::min(1.0 / x, 1.0);
}

inline std::int32_t TimeToSamples(unsigned sampleRate, double ms)
{
    return static_cast<std::int32_t>(ms * 0.001 * static_cast<double>(sampleRate));
}

// A level in dB as a linear factor.
inline double dbToGain(double db)
{
    return std::pow(10.0, db * 0.05);
}
