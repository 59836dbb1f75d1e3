// Designs the sections the effect's response plots show, from the filter parameters in
// the units the user sees: the Filters pair and the EQ band for the main plot, the noise
// generator's two filters for the noise plot. Each result is handed out and a copy kept.
#pragma once

#include "engine/filters/BiquadCoefs.h"
#include "engine/filters/CEQCoefCalculator.h"
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

    // The Filters' and the EQ's pass damping from a Q percent: 1.414 at 0, 0.2828 at 100.
    static double passDamping(double qPercent);
    // The EQ peak's Q from a Q percent: 1 at 0, 10 at 100.
    static double peakingQ(double qPercent);

private:
    CEQCoefCalculator m_designer;
    BiquadCoefs m_hpf[2];
    BiquadCoefs m_lpf[2];
    BiquadCoefs m_eq;
    BiquadCoefs m_noiseHpf;
    BiquadCoefs m_noiseLpf;
};
