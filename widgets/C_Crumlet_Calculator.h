// Designs the sections the effect's response plots show, from the filter parameters in
// the units the user sees: the Filters pair and the EQ band for the main plot, the noise
// generator's two filters for the noise plot. Each result is handed out and a copy kept.
#pragma once

#include "engine/filters/BiquadCoefs.h"
#include "widgets/CEQCoefCalculator.h"
#include "widgets/C_Base_Calculator.h"

class C_Crumlet_Calculator : public C_Base_Calculator
{
public:
    C_Crumlet_Calculator() = default;
    ~C_Crumlet_Calculator() override = default;

    // Also sets the section designer's rate.
    void SetSampleRate(std::int32_t sampleRate) override;

    // Linear gain: 1 when bypassed, else 10^(dB/20).
    virtual double CalcGain(double gainDb, bool bypass);
    // Dry share: 1 when bypassed, else 1 - percent/100.
    virtual double CalcMix(double percent, bool bypass);

    // Slope index 1 (24 dB/oct) repeats the first section; any other gives the identity
    // second section (12 dB/oct).
    void CalcHPF(double freq, double qPercent, int slope, bool bypass, BiquadCoefs& first, BiquadCoefs& second);
    void CalcLPF(double freq, double qPercent, int slope, bool bypass, BiquadCoefs& first, BiquadCoefs& second);
    // Type 0 high-pass, 1 peaking, 2 low-pass; any other type hands out the last EQ record.
    void CalcEQ(double freq, double qPercent, double gainDb, int type, bool bypass, BiquadCoefs& out);
    void CalcNoiseHPF(double freq, bool bypass, BiquadCoefs& out);
    void CalcNoiseLPF(double freq, bool bypass, BiquadCoefs& out);

    // The Filters' and the EQ's pass damping from a Q percent: (1 - 0.8 * sqrt(Q/100)) * 1.414,
    // 1.414 at 0 and 0.2828 at 100. The engine's filters::passDamping is the same curve
    // written 1.414 - 1.1312 * sqrt(Q/100); the two round differently, and each side keeps
    // its own (the plots are drawn with this one, the engine's output is pinned with the other).
    static double passDamping(double qPercent);

private:
    // A pass filter's pair: the first section designed, the second a copy of it for slope 1.
    template <typename Design>
    void designPair(BiquadCoefs (&pair)[2], int slope, bool bypass, Design design, BiquadCoefs& first,
                    BiquadCoefs& second);

    CEQCoefCalculator m_designer;
    BiquadCoefs m_hpf[2];
    BiquadCoefs m_lpf[2];
    BiquadCoefs m_eq;
    BiquadCoefs m_noiseHpf;
    BiquadCoefs m_noiseLpf;
};
