// The editor calculator's section designer against the engine's own section designs.
#include "engine/filters/FilterDesign.h"
#include "tests/support/BiquadExpectations.h"
#include "widgets/CEQCoefCalculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using crumlet_test::expectCoefsNear;

TEST(SectionDesigner, MatchesTheEnginesSections)
{
    CEQCoefCalculator calc;
    EXPECT_EQ(calc.sampleRate(), 44100);
    for (unsigned fs : {22050u, 48000u, 96000u})
    {
        calc.SetSampleRate(static_cast<std::int32_t>(fs));
        for (double f : {30.0, 1000.0, 15000.0})
        {
            expectCoefsNear(filters::HighPass2(fs, f, 0.8), calc.DesignHighPass(f, true, 0.8), 1e-9);
            expectCoefsNear(filters::LowPass2(fs, f, 0.8), calc.DesignLowPass(f, true, 0.8), 1e-9);
            expectCoefsNear(filters::HighPass1(fs, f), calc.DesignHighPass(f, false, 0.8), 1e-9);
            expectCoefsNear(filters::LowPass1(fs, f), calc.DesignLowPass(f, false, 0.8), 1e-9);
            expectCoefsNear(filters::Peaking12(fs, f, 3.0, -7.5), calc.DesignPeaking(f, 3.0, std::pow(10.0, -7.5 / 20.0)),
                            1e-9);
        }
    }
}

// 0 Hz designs as 10 Hz at 48 kHz (w = 1/4800), 30 kHz as 22 kHz (w = 11/24).
TEST(SectionDesigner, ClampsBothEnds)
{
    CEQCoefCalculator calc;
    calc.SetSampleRate(48000);
    expectCoefsNear(calc.DesignHighPass(10.0, true, 1.0), calc.DesignHighPass(0.0, true, 1.0), 1e-12);
    expectCoefsNear(calc.DesignLowPass(22000.0, false, 1.0), calc.DesignLowPass(30000.0, false, 1.0), 1e-12);
}

TEST(SectionDesigner, FlatPeakingHasEqualPolynomials)
{
    CEQCoefCalculator calc;
    calc.SetSampleRate(48000);
    const BiquadCoefs c = calc.DesignPeaking(2500, 3.0, 1.0);
    EXPECT_DOUBLE_EQ(c.b0, c.a0);
    EXPECT_DOUBLE_EQ(c.b1, c.a1);
    EXPECT_DOUBLE_EQ(c.b2, c.a2);
    EXPECT_NEAR(filters::MagnitudeDb(c, 1234.0, 48000.0), 0.0, 1e-12);
}

TEST(SectionDesigner, IgnoresNonPositiveRates)
{
    CEQCoefCalculator calc;
    calc.SetSampleRate(48000);
    const BiquadCoefs before = calc.DesignLowPass(1000, true, 1.0);
    calc.SetSampleRate(0);
    calc.SetSampleRate(-44100);
    EXPECT_EQ(calc.sampleRate(), 48000);
    expectCoefsNear(before, calc.DesignLowPass(1000, true, 1.0), 0.0);
}
