// Elapsed time for the meters' smoothing, measured on the framework's millisecond counter.
// Tests replace the counter to advance time by a known step.
#pragma once

#include <cstdint>
#include <optional>

namespace meter_clock
{
using MillisecondSource = std::uint32_t (*)();

// The counter now: juce::Time::getMillisecondCounter() unless replaced.
std::uint32_t now();
// Replaces the counter; null restores the framework's.
void setSource(MillisecondSource source);

// Seconds since `last` (which becomes now): the counter difference in 32-bit unsigned
// arithmetic read as signed, clamped to [0, 100] s.
double secondsSince(std::uint32_t& last);

// A level source read as a fraction of full scale, clamped to [0, 1].
double clampedLevel(const double* source);

// One tick of a smoothed meter: how far its level has to go to reach the source's, and the
// seconds since its last tick.
struct Step
{
    double diff;
    double dt;
};
// The tick's step (restarting `last`), or nothing when the smoothed level is the source's.
std::optional<Step> stepToward(const double* source, std::uint32_t& last, double smoothed);
} // namespace meter_clock
