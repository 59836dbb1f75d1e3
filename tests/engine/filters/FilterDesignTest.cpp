// Section designs, the frequency clamp, the magnitude evaluation and the decay estimate.
#include "engine/filters/FilterDesign.h"
#include "tests/support/BiquadExpectations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace
{
using crumlet_test::expectCoefsNear;

constexpr double kPi = 3.141592653589793;
constexpr double kTight = 1e-12;

double db(const BiquadCoefs& c, double f, double fs = 48000.0)
{
    return filters::MagnitudeDb(c, f, fs);
}
} // namespace

TEST(FrequencyClamp, BoundsAndPassThrough)
{
    EXPECT_DOUBLE_EQ(filters::clampNormalisedFrequency(0.0), 1.0 / 4800.0);
    EXPECT_DOUBLE_EQ(filters::clampNormalisedFrequency(-0.25), 1.0 / 4800.0);
    EXPECT_DOUBLE_EQ(filters::clampNormalisedFrequency(std::nan("")), 1.0 / 4800.0);
    EXPECT_DOUBLE_EQ(filters::clampNormalisedFrequency(0.625), 11.0 / 24.0);
    EXPECT_DOUBLE_EQ(filters::clampNormalisedFrequency(0.125), 0.125);
    EXPECT_DOUBLE_EQ(filters::prewarp(0.25), std::tan(kPi / 4.0));
}

// Every design at 0 Hz is the design at w = 1/4800 (10 Hz at 48 kHz); at 30 kHz it is
// the design at w = 11/24 (22 kHz).
TEST(FrequencyClamp, EveryDesignClampsBothEnds)
{
    const std::vector<std::pair<std::string, std::function<BiquadCoefs(double)>>> designs = {
        {"HighPass1", [](double f) { return filters::HighPass1(48000, f); }},
        {"LowPass1", [](double f) { return filters::LowPass1(48000, f); }},
        {"HighPass2", [](double f) { return filters::HighPass2(48000, f, 0.7); }},
        {"LowPass2", [](double f) { return filters::LowPass2(48000, f, 0.7); }},
        {"Peaking", [](double f) { return filters::Peaking(48000, f, 4.0, 9.0); }},
        {"Peaking12", [](double f) { return filters::Peaking12(48000, f, 4.0, -9.0); }},
        {"LowShelf", [](double f) { return filters::LowShelf(48000, f, 0.5, 6.0); }},
        {"HighShelf", [](double f) { return filters::HighShelf(48000, f, 0.5, -6.0); }},
        {"BandPass1", [](double f) { return filters::BandPass1(48000, f, f); }},
    };
    for (const auto& [name, design] : designs)
    {
        SCOPED_TRACE(name);
        expectCoefsNear(design(10.0), design(0.0), 0.0);
        expectCoefsNear(design(10.0), design(-500.0), 0.0);
        expectCoefsNear(design(22000.0), design(30000.0), 0.0);
    }
}

// At a quarter of the sample rate K = tan(pi/4) = 1, which makes every coefficient a
// small closed form.
TEST(FilterDesign, KnownCoefficientsAtQuarterRate)
{
    expectCoefsNear({0.5, -0.5, 0.0, 1.0, 0.0, 0.0}, filters::HighPass1(48000, 12000), kTight);
    expectCoefsNear({0.5, 0.5, 0.0, 1.0, 0.0, 0.0}, filters::LowPass1(48000, 12000), kTight);

    const double r2 = std::sqrt(2.0);
    const double n = 1.0 / (r2 + 2.0);
    const double a2 = (2.0 - r2) * n; // 0.1715728752538099
    expectCoefsNear({n, -2 * n, n, 1.0, 0.0, a2}, filters::HighPass2(48000, 12000, r2), kTight);
    expectCoefsNear({n, 2 * n, n, 1.0, 0.0, a2}, filters::LowPass2(48000, 12000, r2), kTight);
    EXPECT_NEAR(a2, 0.1715728752538099, kTight);

    // Band-pass 12 kHz..12 kHz: h = l = 1/2, b0 = 1/4, a1 = 0, a2 = 0.
    expectCoefsNear({0.25, 0.0, -0.25, 1.0, 0.0, 0.0}, filters::BandPass1(48000, 12000, 12000), kTight);
}

// The pass designs meet 1/d at their own frequency (pre-warping puts the analogue corner
// exactly there): d = 1.414 is -3.0090 dB.
TEST(FilterDesign, SecondOrderPassIsOneOverDampingAtCorner)
{
    const double expected = -20.0 * std::log10(1.414);
    for (unsigned fs : {8000u, 44100u, 48000u, 96000u, 192000u})
        for (double f : {40.0, 1000.0, 3000.0})
        {
            SCOPED_TRACE(std::to_string(fs) + " Hz / " + std::to_string(f));
            EXPECT_NEAR(db(filters::HighPass2(fs, f, 1.414), f, fs), expected, 1e-6);
            EXPECT_NEAR(db(filters::LowPass2(fs, f, 1.414), f, fs), expected, 1e-6);
            EXPECT_NEAR(db(filters::HighPass1(fs, f), f, fs), -3.0103, 1e-3);
            EXPECT_NEAR(db(filters::LowPass1(fs, f), f, fs), -3.0103, 1e-3);
        }
    EXPECT_LT(db(filters::HighPass2(48000, 1000, 1.414), 100), -39.0); // 12 dB/oct, a decade below
    EXPECT_NEAR(db(filters::HighPass2(48000, 1000, 1.414), 10000), 0.0, 0.05);
    EXPECT_LT(db(filters::LowPass2(48000, 1000, 1.414), 10000), -39.0);
}

TEST(FilterDesign, ShelvesReachTheirGainAtTheEnds)
{
    for (double s : {0.025, 0.5, 2.0})
        for (double g : {6.0, -6.0, 15.5})
        {
            SCOPED_TRACE("S " + std::to_string(s) + " gain " + std::to_string(g));
            const BiquadCoefs low = filters::LowShelf(48000, 500, s, g);
            const BiquadCoefs high = filters::HighShelf(48000, 5000, s, g);
            EXPECT_NEAR(db(low, 0.0), g, 1e-9);
            EXPECT_NEAR(db(low, 24000.0), 0.0, 1e-9);
            EXPECT_NEAR(db(high, 0.0), 0.0, 1e-9);
            EXPECT_NEAR(db(high, 24000.0), g, 1e-9);
            EXPECT_DOUBLE_EQ(low.a0, 1.0);
            EXPECT_DOUBLE_EQ(high.a0, 1.0);
        }
    // 0 dB shelves are flat everywhere.
    for (double f : {20.0, 500.0, 5000.0, 20000.0})
    {
        EXPECT_NEAR(db(filters::LowShelf(48000, 500, 1.0, 0.0), f), 0.0, 1e-9);
        EXPECT_NEAR(db(filters::HighShelf(48000, 500, 1.0, 0.0), f), 0.0, 1e-9);
    }
}

TEST(FilterDesign, FlatPeakingHasEqualPolynomials)
{
    const BiquadCoefs designs[] = {filters::Peaking(48000, 1000, 1.0, 0.0), filters::Peaking12(44100, 350, 16.0, 0.0)};
    for (const BiquadCoefs& c : designs)
    {
        EXPECT_DOUBLE_EQ(c.b0, c.a0);
        EXPECT_DOUBLE_EQ(c.b1, c.a1);
        EXPECT_DOUBLE_EQ(c.b2, c.a2);
        EXPECT_NEAR(db(c, 1234.0), 0.0, 1e-12);
    }
}

// The peaking constants: numerator clamped to [1, G] for boosts, denominator to [1, 1/G]
// for cuts; between the bounds it is (d*w + 1 - w)*s + 1 - s.
TEST(FilterDesign, PeakingConstantsAreClamped)
{
    const double g = std::pow(10.0, 12.0 / 20.0);
    const double wTop = 11.0 / 24.0, kTop = std::tan(kPi * wTop);
    const filters::PeakingTerms boostTop = filters::peakingTerms(wTop, kTop, 1.0, g, 1.0);
    EXPECT_DOUBLE_EQ(boostTop.numConstant, g);
    EXPECT_DOUBLE_EQ(boostTop.denConstant, 1.0);
    EXPECT_DOUBLE_EQ(boostTop.numDamping, (kTop + 1.0) * g);
    EXPECT_DOUBLE_EQ(boostTop.denDamping, kTop + 1.0);

    const filters::PeakingTerms cutTop = filters::peakingTerms(wTop, kTop, 1.0, 1.0 / g, 1.0);
    EXPECT_DOUBLE_EQ(cutTop.numConstant, 1.0);
    EXPECT_DOUBLE_EQ(cutTop.denConstant, g);

    // Low in the band the raw constant falls under 1 and is raised to 1.
    const double wLow = 100.0 / 48000.0, kLow = std::tan(kPi * wLow);
    EXPECT_DOUBLE_EQ(filters::peakingTerms(wLow, kLow, 10.0, g, 1.0).numConstant, 1.0);
    EXPECT_DOUBLE_EQ(filters::peakingTerms(wLow, kLow, 10.0, 1.0 / g, 1.0).denConstant, 1.0);

    // Quarter rate, Q 1: D = 2, dn = 2G, cn = 2G/4 + 3/4 = 2.7405, inside [1, G].
    const filters::PeakingTerms mid = filters::peakingTerms(0.25, 1.0, 1.0, g, 1.0);
    EXPECT_NEAR(mid.numConstant, 2.0 * g * 0.25 + 0.75, kTight);
    EXPECT_NEAR(mid.numConstant, 2.7405, 1e-4);

    // The same clamp seen through the normalised designs: cn = K^2 - b1*a0/2 with a0 the
    // un-normalised denominator, here dd*K + 1 + K^2.
    const BiquadCoefs top = filters::Peaking12(48000, 30000, 1.0, 12.0);
    const double a0 = (kTop + 1.0) * kTop + 1.0 + kTop * kTop;
    EXPECT_NEAR(kTop * kTop - top.b1 * a0 / 2.0, g, 1e-9);
}

TEST(FilterDesign, PeakingGainAtCentre)
{
    for (double gain : {12.0, 6.0, -6.0, -12.0})
    {
        const double peak = db(filters::Peaking12(48000, 1000, 4.0, gain), 1000.0);
        EXPECT_NEAR(peak, gain, 0.5) << gain;
        EXPECT_GT(peak * gain, 0.0);
        EXPECT_NEAR(db(filters::Peaking(48000, 1000, 4.0, gain), 20.0), 0.0, 0.05);
    }
    // The two shape factors differ only in the clamped constant; both keep the sign.
    EXPECT_NE(filters::Peaking(48000, 8000, 2.0, 12.0).b1, filters::Peaking12(48000, 8000, 2.0, 12.0).b1);
}

// The band-pass is the product of the two first-order designs.
TEST(FilterDesign, BandPassIsProductOfFirstOrderSections)
{
    const BiquadCoefs h = filters::HighPass1(44100, 20);
    const BiquadCoefs l = filters::LowPass1(44100, 7000);
    const BiquadCoefs bp = filters::BandPass1(44100, 20, 7000);
    expectCoefsNear({h.b0 * l.b0, h.b0 * l.b1 + h.b1 * l.b0, h.b1 * l.b1, 1.0, h.a1 + l.a1, h.a1 * l.a1}, bp, kTight);
    EXPECT_DOUBLE_EQ(bp.b1, 0.0);
    EXPECT_DOUBLE_EQ(bp.b2, -bp.b0);
    EXPECT_DOUBLE_EQ(db(bp, 0.0, 44100), -160.0); // zero at DC
    EXPECT_NEAR(db(bp, 400.0, 44100), 0.0, 0.1);
    EXPECT_NEAR(db(bp, 7000.0, 44100), -3.0, 0.1);
}

TEST(MagnitudeDb, IdentityAndVanishingPolynomials)
{
    for (double f : {0.0, 1.0, 1000.0, 23999.0, 24000.0})
        EXPECT_DOUBLE_EQ(db(BiquadCoefs::identity(), f), 0.0);
    const BiquadCoefs zero{0.0, 0.0, 0.0, 1.0, 0.5, 0.25};
    EXPECT_DOUBLE_EQ(db(zero, 1000.0), -160.0);
    const BiquadCoefs noDenominator{1.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    EXPECT_DOUBLE_EQ(db(noDenominator, 1000.0), -160.0);
    // A pure two-sample delay has unit magnitude; halving b0 is -6.02 dB.
    EXPECT_NEAR(db({0.0, 0.0, 1.0, 1.0, 0.0, 0.0}, 3000.0), 0.0, 1e-12);
    EXPECT_NEAR(db({0.5, 0.0, 0.0, 1.0, 0.0, 0.0}, 3000.0), -6.0206, 1e-4);
}

TEST(SectionDecay, RealAndComplexPoles)
{
    // Double real pole at 0.75: 1/(1 - 0.75) = 4.
    EXPECT_NEAR(filters::SectionDecay(-1.5f, 0.5625f), 4.0, 1e-9);
    // Poles 0.5 and 0.8: the larger one counts, 1/(1 - 0.8) = 5.
    EXPECT_NEAR(filters::SectionDecay(-1.3f, 0.4f), 5.0, 1e-5);
    // Complex pair of radius 0.9: 1/(1 - 0.9) = 10.
    EXPECT_NEAR(filters::SectionDecay(0.0f, 0.81f), 10.0, 1e-5);
    EXPECT_NEAR(filters::SectionDecay(-1.0f, 0.81f), 10.0, 1e-5);
    // No feedback at all: one sample.
    EXPECT_DOUBLE_EQ(filters::SectionDecay(0.0f, 0.0f), 1.0);
    // A negative real pole counts by its magnitude.
    EXPECT_NEAR(filters::SectionDecay(0.5f, 0.0f), 2.0, 1e-9);
}
