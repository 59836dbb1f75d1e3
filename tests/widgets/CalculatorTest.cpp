// The response calculator's records: the curves they draw at known frequencies, the same
// curves as the engine's stages process, slope doubling, bypass, EQ types and rates.
#include "engine/filters/FilterDesign.h"
#include "engine/stages/EqStage.h"
#include "engine/stages/FiltersStage.h"
#include "tests/support/StageRig.h"
#include "widgets/C_Crumlet_Calculator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <string>
#include <vector>

using crumlet_test::StageRig;

namespace
{
constexpr double kPlotRate = 88200.0;

double db(const BiquadCoefs& c, double f)
{
    return filters::MagnitudeDb(c, f, kPlotRate);
}

bool isIdentity(const BiquadCoefs& c)
{
    return c.b0 == 1.0 && c.b1 == 0.0 && c.b2 == 0.0 && c.a0 == 1.0 && c.a1 == 0.0 && c.a2 == 0.0;
}

class Calculator : public ::testing::Test
{
protected:
    Calculator() { calc.SetSampleRate(88200); }
    C_Crumlet_Calculator calc;
    BiquadCoefs first, second, one;
};

// A curve as the plot draws it: its records' responses added in dB.
using Curve = std::function<std::vector<BiquadCoefs>(C_Crumlet_Calculator&)>;

double curveDb(const std::vector<BiquadCoefs>& records, double f)
{
    double sum = 0.0;
    for (const BiquadCoefs& r : records)
        sum += db(r, f);
    return sum;
}

Curve pass(bool highPass, double freq, double q, int slope)
{
    return [=](C_Crumlet_Calculator& c) {
        BiquadCoefs a, b;
        if (highPass)
            c.CalcHPF(freq, q, slope, false, a, b);
        else
            c.CalcLPF(freq, q, slope, false, a, b);
        return std::vector<BiquadCoefs>{a, b};
    };
}

Curve eq(double freq, double q, double gain, int type)
{
    return [=](C_Crumlet_Calculator& c) {
        BiquadCoefs r;
        c.CalcEQ(freq, q, gain, type, false, r);
        return std::vector<BiquadCoefs>{r};
    };
}

Curve noise(bool highPass, double freq)
{
    return [=](C_Crumlet_Calculator& c) {
        BiquadCoefs r;
        if (highPass)
            c.CalcNoiseHPF(freq, false, r);
        else
            c.CalcNoiseLPF(freq, false, r);
        return std::vector<BiquadCoefs>{r};
    };
}

struct KnownCurve
{
    const char* what;
    Curve curve;
    std::vector<std::pair<double, double>> dbAt; // frequency, response in dB
};
} // namespace

// Responses at the plot's 88200 Hz, worked out from the designs' formulas apart from this
// code: the corner of a pass section is 1/d, so the Q control's damping shows there.
TEST(CalculatorCurves, KnownResponses)
{
    const KnownCurve curves[] = {
        {"HPF 300 Hz, Q 0, 12 dB/oct", pass(true, 300, 0, 0),
         {{100, -19.138431}, {300, -3.008988}, {1000, -0.034748}, {10000, -0.000001}}},
        {"HPF 1000 Hz, Q 25, 12 dB/oct", pass(true, 1000, 25, 0), {{250, -23.745774}, {1000, 1.427987}, {4000, 0.339484}}},
        {"LPF 2000 Hz, Q 100, 24 dB/oct", pass(false, 2000, 100, 1),
         {{1000, 4.680741}, {2000, 21.940824}, {4000, -19.619301}, {16000, -76.055886}}},
        {"EQ peak 1000 Hz, Q 50, +9 dB", eq(1000, 50, 9, 1),
         {{250, 0.210784}, {500, 1.137813}, {1000, 9.0}, {2000, 1.134775}, {4000, 0.208036}}},
        {"EQ peak 2500 Hz, Q 100, -6 dB", eq(2500, 100, -6, 1), {{1250, -0.066952}, {2500, -6.0}, {5000, -0.065646}}},
        {"EQ peak 8000 Hz, Q 0, +12 dB", eq(8000, 0, 12, 1), {{2000, 3.900174}, {8000, 12.023133}, {20000, 6.771231}}},
        {"EQ high-pass 300 Hz, Q 75", eq(300, 75, 6, 0), {{100, -18.176170}, {300, 7.243162}, {1000, 0.730443}}},
        {"EQ low-pass 5000 Hz, Q 0", eq(5000, 0, -6, 2), {{1000, -0.006562}, {5000, -3.008988}, {20000, -27.250983}}},
        {"noise high-pass 400 Hz", noise(true, 400), {{100, -24.100266}, {400, -3.008988}, {4000, -0.000397}}},
        {"noise low-pass 6000 Hz", noise(false, 6000), {{600, -0.000383}, {6000, -3.008988}, {20000, -24.010481}}},
    };
    for (const KnownCurve& k : curves)
    {
        C_Crumlet_Calculator calc;
        calc.SetSampleRate(88200);
        const std::vector<BiquadCoefs> records = k.curve(calc);
        for (const auto& [f, expected] : k.dbAt)
            EXPECT_NEAR(curveDb(records, f), expected, 1e-5) << k.what << " at " << f << " Hz";
    }
}

namespace
{
// The response in dB at f of what a stage does to an impulse, over `frames` samples.
template <typename Stage>
std::vector<double> heardDb(StageRig<Stage>& rig, const std::vector<double>& frequencies, unsigned frames)
{
    std::vector<float> x(frames, 0.f);
    x[0] = 1.f;
    rig.process(x.data(), frames);
    std::vector<double> out;
    for (double f : frequencies)
    {
        std::complex<double> h = 0.0;
        for (unsigned n = 0; n < frames; ++n)
            h += static_cast<double>(x[n]) * std::polar(1.0, -2.0 * 3.141592653589793 * f * n / kPlotRate);
        out.push_back(20.0 * std::log10(std::abs(h)));
    }
    return out;
}

const std::vector<double> kProbes = {30, 80, 200, 500, 1000, 2000, 3000, 5000, 8000, 12000, 16000, 30000};

// The engine runs its sections in single precision, whose rounding shows in the stop band of
// a low corner: the curve and the sound agree to 0.02 dB plus 2 % of the depth, down to -60 dB.
void expectHeardAsDrawn(double heard, double drawn, const std::string& what)
{
    if (drawn < -60.0)
        return;
    EXPECT_NEAR(heard, drawn, 0.02 + 0.02 * std::max(0.0, -drawn)) << what;
}
} // namespace

// The main plot draws what the engine's Filters pair and EQ band do to the sound.
TEST(CalculatorCurves, MatchWhatTheEngineProcesses)
{
    constexpr unsigned kFrames = 1u << 17;
    struct FiltersCase
    {
        float hpf, hpfQ;
        int hpfSlope;
        float lpf, lpfQ;
        int lpfSlope;
    };
    for (const FiltersCase& s : {FiltersCase{40, 0, 0, 18000, 0, 0}, FiltersCase{200, 50, 1, 6000, 100, 1},
                                 FiltersCase{1000, 100, 0, 3000, 25, 0}, FiltersCase{80, 25, 1, 12000, 75, 1}})
    {
        const std::string what = "Filters " + std::to_string(static_cast<int>(s.hpf)) + " Hz to " +
                                 std::to_string(static_cast<int>(s.lpf)) + " Hz";
        C_Crumlet_Calculator calc;
        calc.SetSampleRate(88200);
        BiquadCoefs hp[2], lp[2];
        calc.CalcHPF(s.hpf, s.hpfQ, s.hpfSlope, false, hp[0], hp[1]);
        calc.CalcLPF(s.lpf, s.lpfQ, s.lpfSlope, false, lp[0], lp[1]);

        StageRig<FiltersStage> rig;
        FiltersParams p{};
        p.hpfFreq = s.hpf, p.hpfQ = s.hpfQ, p.hpfSlope = s.hpfSlope;
        p.lpfFreq = s.lpf, p.lpfQ = s.lpfQ, p.lpfSlope = s.lpfSlope;
        rig.stage.setup(88200, p);
        const std::vector<double> heard = heardDb(rig, kProbes, kFrames);
        for (std::size_t i = 0; i < kProbes.size(); ++i)
            expectHeardAsDrawn(heard[i], curveDb({hp[0], hp[1], lp[0], lp[1]}, kProbes[i]),
                               what + " at " + std::to_string(kProbes[i]) + " Hz");
    }

    struct EqCase
    {
        int type;
        float freq, q, gain;
    };
    for (const EqCase& s : {EqCase{1, 1000, 0, 12}, EqCase{1, 2500, 100, -12}, EqCase{1, 8000, 40, 6},
                            EqCase{1, 300, 70, -4}, EqCase{0, 500, 60, 0}, EqCase{2, 4000, 90, 0}})
    {
        const std::string what = "EQ type " + std::to_string(s.type) + " at " + std::to_string(static_cast<int>(s.freq)) +
                                 " Hz";
        C_Crumlet_Calculator calc;
        calc.SetSampleRate(88200);
        BiquadCoefs record;
        calc.CalcEQ(s.freq, s.q, s.gain, s.type, false, record);

        StageRig<EqStage> rig;
        EqParams p{};
        p.type = s.type, p.freq = s.freq, p.q = s.q, p.gainDb = s.gain;
        rig.stage.setup(88200, p);
        const std::vector<double> heard = heardDb(rig, kProbes, kFrames);
        for (std::size_t i = 0; i < kProbes.size(); ++i)
            expectHeardAsDrawn(heard[i], db(record, kProbes[i]), what + " at " + std::to_string(kProbes[i]) + " Hz");
    }
}

TEST(CalculatorRate, StartsAt44100AndIgnoresRatesOfZeroOrLess)
{
    C_Crumlet_Calculator calc;
    EXPECT_EQ(calc.sampleRate(), 44100);
    EXPECT_NEAR(calc.samplePeriod(), 2.267573696145e-05, 1e-17);
    calc.SetSampleRate(88200);
    calc.SetSampleRate(0);
    calc.SetSampleRate(-5);
    EXPECT_EQ(calc.sampleRate(), 88200);
    // The designer follows: a 1 kHz high-pass is -3 dB near its corner at the new rate.
    BiquadCoefs a, b;
    calc.CalcHPF(1000.0, 0.0, 0, false, a, b);
    EXPECT_NEAR(db(a, 1000.0), -3.0, 0.05);
}

TEST_F(Calculator, BypassGivesIdentityRecordsEverywhere)
{
    calc.CalcHPF(500.0, 50.0, 1, true, first, second);
    EXPECT_TRUE(isIdentity(first) && isIdentity(second));
    calc.CalcLPF(500.0, 50.0, 1, true, first, second);
    EXPECT_TRUE(isIdentity(first) && isIdentity(second));
    calc.CalcEQ(500.0, 50.0, 6.0, 1, true, one);
    EXPECT_TRUE(isIdentity(one));
    calc.CalcNoiseHPF(500.0, true, one);
    EXPECT_TRUE(isIdentity(one));
    calc.CalcNoiseLPF(500.0, true, one);
    EXPECT_TRUE(isIdentity(one));
}

TEST_F(Calculator, SlopeOneDoublesTheSectionAndTheResonance)
{
    calc.CalcLPF(2000.0, 100.0, 0, false, first, second);
    EXPECT_TRUE(isIdentity(second));
    const double single = db(first, 2000.0) + db(second, 2000.0);
    const double singleStop = db(first, 16000.0);
    calc.CalcLPF(2000.0, 100.0, 1, false, first, second);
    EXPECT_EQ(first.a1, second.a1);
    EXPECT_EQ(first.b0, second.b0);
    // Q 100 is a resonant peak at the corner; the doubled pair has twice its dB.
    EXPECT_GT(single, 10.0);
    EXPECT_NEAR(db(first, 2000.0) + db(second, 2000.0), 2.0 * single, 1e-9);
    // Three octaves above: about 36 dB down for 12 dB/oct, 72 for 24.
    EXPECT_NEAR(singleStop, -36.0, 4.0);
    EXPECT_NEAR(db(first, 16000.0) + db(second, 16000.0), 2.0 * singleStop, 1e-9);
    // Any slope index other than 1 is 12 dB/oct.
    calc.CalcHPF(200.0, 0.0, 7, false, first, second);
    EXPECT_TRUE(isIdentity(second));
}

TEST_F(Calculator, EqGainOnlyForThePeak)
{
    // Type 1 at 0 dB is flat (b equals a).
    calc.CalcEQ(1000.0, 50.0, 0.0, 1, false, one);
    EXPECT_NEAR(one.b0, one.a0, 1e-12);
    EXPECT_NEAR(one.b1, one.a1, 1e-12);
    EXPECT_NEAR(one.b2, one.a2, 1e-12);
    // Types 0 and 2 ignore the gain.
    for (int type : {0, 2})
    {
        BiquadCoefs withGain;
        calc.CalcEQ(1000.0, 30.0, 12.0, type, false, withGain);
        calc.CalcEQ(1000.0, 30.0, -12.0, type, false, one);
        EXPECT_EQ(withGain.a1, one.a1) << type;
        EXPECT_EQ(withGain.b0, one.b0) << type;
    }
}

TEST_F(Calculator, UnlistedEqTypeHandsOutTheLastRecord)
{
    BiquadCoefs peak;
    calc.CalcEQ(2500.0, 20.0, -6.0, 1, false, peak);
    BiquadCoefs out{0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
    calc.CalcEQ(100.0, 90.0, 12.0, 3, false, out);
    EXPECT_EQ(out.b0, peak.b0);
    EXPECT_EQ(out.a1, peak.a1);
    EXPECT_EQ(out.a2, peak.a2);
    calc.CalcEQ(100.0, 90.0, 12.0, -1, false, out);
    EXPECT_EQ(out.b1, peak.b1);
}

TEST(CalculatorGainMix, LinearGainAndDryShare)
{
    C_Crumlet_Calculator calc;
    EXPECT_DOUBLE_EQ(calc.CalcGain(0.0, false), 1.0);
    EXPECT_NEAR(calc.CalcGain(-20.0, false), 0.1, 1e-15);
    EXPECT_DOUBLE_EQ(calc.CalcGain(-20.0, true), 1.0);
    EXPECT_DOUBLE_EQ(calc.CalcMix(100.0, false), 0.0);
    EXPECT_DOUBLE_EQ(calc.CalcMix(25.0, false), 0.75);
    EXPECT_DOUBLE_EQ(calc.CalcMix(100.0, true), 1.0);
}
