// The editor's section designer: high-pass, low-pass and peaking sections at the
// calculator's sample rate, keeping the scratch values of the last design. It pre-warps
// with its stored reciprocal of the rate; the sections are the engine's (FilterDesign.h).
#pragma once

#include "engine/filters/BiquadCoefs.h"
#include "engine/filters/FilterDesign.h"

#include <cstdint>

class CEQCoefCalculator
{
public:
    CEQCoefCalculator() = default;
    virtual ~CEQCoefCalculator() = default;

    // Stores a positive sample rate and its reciprocal; 0 or less is ignored.
    virtual void SetSampleRate(std::int32_t sampleRate);

    std::int32_t sampleRate() const { return m_sampleRate; }

    BiquadCoefs DesignHighPass(double f, bool secondOrder, double damping);
    BiquadCoefs DesignLowPass(double f, bool secondOrder, double damping);
    // A linear gain of 1 is flat.
    BiquadCoefs DesignPeaking(double f, double q, double linearGain);

private:
    void warp(double f);
    BiquadCoefs normalised(const BiquadCoefs& c);

    std::int32_t m_sampleRate = 44100;
    double m_reciprocal = 1.0 / 44100.0;
    // Scratch values of the last design.
    double m_w = 0.0;
    double m_k = 0.0;
    double m_k2 = 0.0;
    double m_peakGain = 1.0;
    double m_shape = 0.0;
    filters::PeakingTerms m_peaking{};
    double m_invA0 = 1.0;
};
