#include "engine/filters/CEQCoefCalculator.h"

#include "engine/filters/FilterDesign.h"

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

BiquadCoefs CEQCoefCalculator::normalised(BiquadCoefs c)
{
    m_invA0 = 1.0 / c.a0;
    c.normalise();
    return c;
}

BiquadCoefs CEQCoefCalculator::DesignHighPass(double f, bool secondOrder, double damping)
{
    warp(f);
    if (secondOrder)
        return normalised({1.0, -2.0, 1.0, damping * m_k + 1.0 + m_k2, 2.0 * m_k2 - 2.0, 1.0 - damping * m_k + m_k2});
    return normalised({1.0, -1.0, 0.0, m_k + 1.0, m_k - 1.0, 0.0});
}

BiquadCoefs CEQCoefCalculator::DesignLowPass(double f, bool secondOrder, double damping)
{
    warp(f);
    if (secondOrder)
        return normalised({m_k2, 2.0 * m_k2, m_k2, damping * m_k + 1.0 + m_k2, 2.0 * m_k2 - 2.0, 1.0 - damping * m_k + m_k2});
    return normalised({m_k, m_k, 0.0, m_k + 1.0, m_k - 1.0, 0.0});
}

BiquadCoefs CEQCoefCalculator::DesignPeaking(double f, double q, double linearGain)
{
    warp(f);
    m_peakGain = linearGain;
    m_shape = std::fabs(20.0 * std::log10(linearGain)) * 0.08333333333333333;
    const filters::PeakingTerms t = filters::peakingTerms(m_w, m_k, q, linearGain, m_shape);
    m_numDamping = t.numDamping;
    m_denDamping = t.denDamping;
    m_numConstant = t.numConstant;
    m_denConstant = t.denConstant;
    return normalised(filters::peakingSection(m_k, t));
}
