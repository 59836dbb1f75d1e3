#include "widgets/C_Crumlet_Calculator.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"

#include <cmath>

namespace
{
constexpr double kNoiseDamping = 1.414;
}

void C_Crumlet_Calculator::SetSampleRate(std::int32_t sampleRate)
{
    C_Base_Calculator::SetSampleRate(sampleRate);
    m_designer.SetSampleRate(sampleRate);
}

double C_Crumlet_Calculator::CalcGain(double gainDb, bool bypass)
{
    return bypass ? 1.0 : dbToGain(gainDb);
}

double C_Crumlet_Calculator::CalcMix(double percent, bool bypass)
{
    return bypass ? 1.0 : 1.0 - percent * 0.01;
}

double C_Crumlet_Calculator::passDamping(double qPercent)
{
    double x = qPercent * 0.01;
    if (x > 0.0)
        x = std::sqrt(x);
    x *= 0.8;
    return (1.0 - x) * 1.414;
}

template <typename Design>
void C_Crumlet_Calculator::designPair(BiquadCoefs (&pair)[2], int slope, bool bypass, Design design,
                                      BiquadCoefs& first, BiquadCoefs& second)
{
    pair[0] = bypass ? BiquadCoefs::identity() : design();
    pair[1] = !bypass && slope == 1 ? pair[0] : BiquadCoefs::identity();
    first = pair[0];
    second = pair[1];
}

void C_Crumlet_Calculator::CalcHPF(double freq, double qPercent, int slope, bool bypass, BiquadCoefs& first,
                                   BiquadCoefs& second)
{
    designPair(m_hpf, slope, bypass, [&] { return m_designer.DesignHighPass(freq, true, passDamping(qPercent)); },
               first, second);
}

void C_Crumlet_Calculator::CalcLPF(double freq, double qPercent, int slope, bool bypass, BiquadCoefs& first,
                                   BiquadCoefs& second)
{
    designPair(m_lpf, slope, bypass, [&] { return m_designer.DesignLowPass(freq, true, passDamping(qPercent)); },
               first, second);
}

void C_Crumlet_Calculator::CalcEQ(double freq, double qPercent, double gainDb, int type, bool bypass, BiquadCoefs& out)
{
    if (bypass)
        m_eq = BiquadCoefs::identity();
    else if (type == 0)
        m_eq = m_designer.DesignHighPass(freq, true, passDamping(qPercent));
    else if (type == 1)
        m_eq = m_designer.DesignPeaking(freq, filters::eqPeakingQ(qPercent), dbToGain(gainDb));
    else if (type == 2)
        m_eq = m_designer.DesignLowPass(freq, true, passDamping(qPercent));
    out = m_eq;
}

void C_Crumlet_Calculator::CalcNoiseHPF(double freq, bool bypass, BiquadCoefs& out)
{
    m_noiseHpf = bypass ? BiquadCoefs::identity() : m_designer.DesignHighPass(freq, true, kNoiseDamping);
    out = m_noiseHpf;
}

void C_Crumlet_Calculator::CalcNoiseLPF(double freq, bool bypass, BiquadCoefs& out)
{
    m_noiseLpf = bypass ? BiquadCoefs::identity() : m_designer.DesignLowPass(freq, true, kNoiseDamping);
    out = m_noiseLpf;
}
