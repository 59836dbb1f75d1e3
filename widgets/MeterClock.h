// Elapsed time for the meters' smoothing, measured on the framework's millisecond counter.
// Tests replace the counter to advance time by a known step.
#pragma once

#include <cstdint>

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
} // namespace meter_clock
