#include "widgets/CEQCoefCalculator.h"

#include <cmath>

void CEQCoefCalculator::SetSampleRate(std::int32_t sampleRate)
{
    if (sampleRate <= 0)
        return;
    m_sampleRate = sampleRate;
    m_reciprocal = 1.0 / static_cast<double>(sampleRate);
}

void CEQCoefCalculator::warp(double f)
{
    m_w = filters::clampNormalisedFrequency(f * m_reciprocal);
    m_k = filters::prewarp(m_w);
    m_k2 = m_k * m_k;
}

BiquadCoefs CEQCoefCalculator::normalised(const BiquadCoefs& c)
{
    m_invA0 = 1.0 / c.a0;
    return filters::normalised(c);
}

BiquadCoefs CEQCoefCalculator::DesignHighPass(double f, bool secondOrder, double damping)
{
    warp(f);
    return normalised(secondOrder ? filters::highPass2Section(m_k, damping) : filters::highPass1Section(m_k));
}

BiquadCoefs CEQCoefCalculator::DesignLowPass(double f, bool secondOrder, double damping)
{
    warp(f);
    return normalised(secondOrder ? filters::lowPass2Section(m_k, damping) : filters::lowPass1Section(m_k));
}

BiquadCoefs CEQCoefCalculator::DesignPeaking(double f, double q, double linearGain)
{
    warp(f);
    m_peakGain = linearGain;
    m_shape = std::fabs(20.0 * std::log10(linearGain)) * 0.08333333333333333;
    m_peaking = filters::peakingTerms(m_w, m_k, q, linearGain, m_shape);
    return normalised(filters::peakingSection(m_k, m_peaking));
}
