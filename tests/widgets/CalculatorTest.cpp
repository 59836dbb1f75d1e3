// The response calculator's records: Q mapping, slope doubling, bypass, EQ types, rates.
#include "engine/filters/FilterDesign.h"
#include "widgets/C_Crumlet_Calculator.h"

#include <gtest/gtest.h>

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
} // namespace

TEST(CalculatorQ, DampingAndPeakQAtTheEndsAndInBetween)
{
    EXPECT_DOUBLE_EQ(C_Crumlet_Calculator::passDamping(0.0), 1.414);
    EXPECT_NEAR(C_Crumlet_Calculator::passDamping(100.0), 0.2828, 1e-12);
    // Q 25: sqrt(0.25) * 0.8 = 0.4, so (1 - 0.4) * 1.414.
    EXPECT_NEAR(C_Crumlet_Calculator::passDamping(25.0), 0.6 * 1.414, 1e-12);
    EXPECT_DOUBLE_EQ(C_Crumlet_Calculator::peakingQ(0.0), 1.0);
    EXPECT_DOUBLE_EQ(C_Crumlet_Calculator::peakingQ(100.0), 10.0);
    EXPECT_DOUBLE_EQ(C_Crumlet_Calculator::peakingQ(50.0), 3.25);
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

TEST_F(Calculator, FiltersQZeroIsNearButterworthAtTheCorner)
{
    calc.CalcHPF(300.0, 0.0, 0, false, first, second);
    EXPECT_NEAR(db(first, 300.0), -3.0, 0.05);
    EXPECT_NEAR(db(first, 20000.0), 0.0, 0.01);
    EXPECT_EQ(first.a0, 1.0);
}

TEST_F(Calculator, EqTypesAndTheirGains)
{
    // Type 1: a peak of the given gain at its centre; 0 dB is flat (b equals a).
    calc.CalcEQ(1000.0, 50.0, 9.0, 1, false, one);
    EXPECT_NEAR(db(one, 1000.0), 9.0, 0.05);
    calc.CalcEQ(1000.0, 50.0, 0.0, 1, false, one);
    EXPECT_NEAR(one.b0, one.a0, 1e-12);
    EXPECT_NEAR(one.b1, one.a1, 1e-12);
    EXPECT_NEAR(one.b2, one.a2, 1e-12);
    // Types 0 and 2 ignore the gain.
    BiquadCoefs withGain;
    calc.CalcEQ(1000.0, 30.0, 12.0, 0, false, withGain);
    calc.CalcEQ(1000.0, 30.0, -12.0, 0, false, one);
    EXPECT_EQ(withGain.a1, one.a1);
    EXPECT_EQ(withGain.b0, one.b0);
    EXPECT_LT(db(one, 100.0), -30.0);
    calc.CalcEQ(1000.0, 30.0, 12.0, 2, false, one);
    EXPECT_LT(db(one, 10000.0), -30.0);
    EXPECT_NEAR(db(one, 50.0), 0.0, 0.05);
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

TEST_F(Calculator, NoiseFiltersUseFixedDamping)
{
    calc.CalcNoiseHPF(400.0, false, one);
    EXPECT_NEAR(db(one, 400.0), -3.0, 0.05);
    calc.CalcNoiseLPF(6000.0, false, one);
    EXPECT_NEAR(db(one, 6000.0), -3.0, 0.05);
    EXPECT_NEAR(db(one, 100.0), 0.0, 0.01);
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
