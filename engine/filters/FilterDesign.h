// Bilinear-transform section designs with frequency pre-warping, in double precision.
// Every design exists once: the engine's primitives below and the editor's calculator
// (widgets/CEQCoefCalculator) pre-warp in their own way, then share the sections made from K.
// Every primitive's result is normalised (a0 = 1).
#pragma once

#include "engine/filters/BiquadCoefs.h"

namespace filters
{
constexpr double kPi = 3.141592653589793;
constexpr double kSqrt2 = 1.4142135623730951;
constexpr double kMinNormalisedFrequency = 0.00020833333333333335; // 1/4800
constexpr double kMaxNormalisedFrequency = 0.4583333333333333;     // 11/24

// w = f/fs clamped to [1/4800, 11/24]; keeps tan finite for any frequency.
double clampNormalisedFrequency(double w);

// K = tan(pi * w) for the clamped w.
double prewarp(double clampedW);

// The pass sections from the pre-warped K (and the damping), before normalisation.
BiquadCoefs highPass1Section(double k);
BiquadCoefs lowPass1Section(double k);
BiquadCoefs highPass2Section(double k, double damping);
BiquadCoefs lowPass2Section(double k, double damping);

// The record divided by its a0.
BiquadCoefs normalised(BiquadCoefs c);

BiquadCoefs HighPass1(unsigned sampleRate, double f);
BiquadCoefs LowPass1(unsigned sampleRate, double f);
BiquadCoefs HighPass2(unsigned sampleRate, double f, double damping);
BiquadCoefs LowPass2(unsigned sampleRate, double f, double damping);
// Peaking with the shape factor |dB|/18.
BiquadCoefs Peaking(unsigned sampleRate, double f, double q, double gainDb);
// Peaking with the shape factor |dB|/12.
BiquadCoefs Peaking12(unsigned sampleRate, double f, double q, double gainDb);
// High-pass at f times low-pass at f2.
BiquadCoefs BandPass1(unsigned sampleRate, double f, double f2);
BiquadCoefs LowShelf(unsigned sampleRate, double f, double s, double gainDb);
BiquadCoefs HighShelf(unsigned sampleRate, double f, double s, double gainDb);

// The four terms of a peaking design: numerator and denominator damping and constant.
struct PeakingTerms
{
    double numDamping;
    double denDamping;
    double numConstant;
    double denConstant;
};

// Peaking terms from the clamped w and K, the Q, the linear gain and the shape factor s.
PeakingTerms peakingTerms(double w, double k, double q, double linearGain, double shape);

// The un-normalised peaking section made of those terms.
BiquadCoefs peakingSection(double k, const PeakingTerms& t);

// Damping of the engine's Filters and EQ pass sections from their 0..100 Q control:
// 1.414 - 1.1312 * sqrt(Q/100), from 1.414 (Q 0) down to 0.2828 (Q 100).
double passDamping(double qPercent);

// Q of the EQ's peaking section from its 0..100 Q control: 9 * (Q/100)^2 + 1, 1 to 10.
double eqPeakingQ(double qPercent);

// Time constant in samples of a section with single-precision feedback coefficients.
double SectionDecay(float a1, float a2);

// Magnitude response in dB at frequency f, or -160 dB where either polynomial vanishes.
double MagnitudeDb(const BiquadCoefs& c, double f, double sampleRate);
} // namespace filters
