// Whole-block helpers of the processor: gains, ramps, peaks and the non-finite check.
#pragma once

namespace blockmath
{
void applyGain(float* data, unsigned frames, float gain);

// Sample i gets from + i * (to - from) / frames.
void applyRamp(float* data, unsigned frames, float from, float to);

// out[i] = wet * out[i] + dry * dry[i], both gains ramping linearly when they differ.
void mix(float* out, const float* dryBuffer, unsigned frames, float wetFrom, float wetTo, float dryFrom, float dryTo);

// Largest absolute value; NaN samples are ignored.
float peak(const float* data, unsigned frames);

// Largest absolute value, and whether any sample is NaN or infinite.
float peakAndCheck(const float* data, unsigned frames, bool& nonFinite);

// Replaces NaN and infinite samples with silence.
void zeroNonFinite(float* data, unsigned frames);
} // namespace blockmath
