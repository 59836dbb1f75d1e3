// The frequency plot: its grid, when it re-evaluates a curve, and where pixels land.
#include "engine/filters/FilterDesign.h"
#include "widgets/Freq_Plot.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
class Plot : public ::testing::Test
{
protected:
    Plot()
    {
        plot.setSize(210, 89);
        plot.setDbRange(18.0);
        plot.setCurveOpacity(0.6f);
        plot.setCurveCount(3, true, false);
    }
    Freq_Plot plot;
};

BiquadCoefs lowPass(double f)
{
    return filters::LowPass2(88200, f, 1.414);
}
} // namespace

TEST(PlotGrid, LogSpacedFromTwentyHertzToTwentyOneKilohertz)
{
    Freq_Plot plot;
    EXPECT_DOUBLE_EQ(plot.getFrequency(0), 20.0);
    EXPECT_NEAR(plot.getFrequency(Freq_Plot::kPoints - 1), 21000.0, 1e-9);
    // Equal ratios between neighbours.
    const double ratio = plot.getFrequency(1) / plot.getFrequency(0);
    EXPECT_NEAR(plot.getFrequency(200) / plot.getFrequency(199), ratio, 1e-12);
    EXPECT_DOUBLE_EQ(plot.getSampleRate(), 88200.0);
}

TEST_F(Plot, ScalesFromTheSizeAtSetUp)
{
    EXPECT_NEAR(plot.getXScale(), 210.0 / (std::log10(21000.0) - std::log10(20.0)), 1e-12);
    EXPECT_NEAR(plot.getYScale(), 89.0 * 0.5 / 18.0, 1e-12);
    // Both ends of the grid land on the edges.
    EXPECT_NEAR(plot.getPointX(0), 0.0f, 1e-4f);
    EXPECT_NEAR(plot.getPointX(Freq_Plot::kPoints - 1), 210.0f, 1e-3f);
    plot.setSize(400, 400); // later resizing does not change the scales
    EXPECT_NEAR(plot.getYScale(), 89.0 * 0.5 / 18.0, 1e-12);
}

TEST(PlotPixels, DbOffsetMovesTheZeroLine)
{
    Freq_Plot plot;
    plot.setSize(100, 80);
    plot.setDbRange(10.0); // 4 pixels per dB
    plot.setDbOffset(3.5);
    EXPECT_DOUBLE_EQ(plot.getYScale(), 4.0);
    EXPECT_FLOAT_EQ(plot.getBaseline(), 40.0f - 14.0f);
}

TEST_F(Plot, CurvePixelsAreDbTimesTheYScale)
{
    const BiquadCoefs c = lowPass(1000.0);
    plot.setCurveBiquad(c, 1);
    for (int j : {0, 100, 200, 289})
    {
        const double expected = filters::MagnitudeDb(c, plot.getFrequency(j), 88200.0);
        EXPECT_NEAR(plot.getCurveDb(1, j), expected, 1e-12);
        EXPECT_NEAR(plot.getCurvePixels(1, j), expected * plot.getYScale(), 1e-9);
    }
}

TEST_F(Plot, ReEvaluatesOnlyWhenACoefficientMovesBeyondTheTolerance)
{
    BiquadCoefs c = lowPass(1000.0);
    plot.setCurveBiquad(c, 2); // the cache starts at -1: always computed
    EXPECT_EQ(plot.getEvaluationCount(), 1);
    EXPECT_TRUE(plot.isCurveChanged(2));
    c.a1 += 0.9e-5;
    plot.setCurveBiquad(c, 2);
    EXPECT_EQ(plot.getEvaluationCount(), 1);
    c.a1 += 0.2e-5; // now 1.1e-5 from the cached record
    plot.setCurveBiquad(c, 2);
    EXPECT_EQ(plot.getEvaluationCount(), 2);
    plot.resetCurves();
    EXPECT_FALSE(plot.isCurveChanged(2));
    plot.setCurveBiquad(c, 2);
    EXPECT_EQ(plot.getEvaluationCount(), 3);
}

TEST_F(Plot, PairAddsItsSectionsAndComparesBoth)
{
    const BiquadCoefs a = lowPass(2000.0);
    const BiquadCoefs b = lowPass(500.0);
    plot.setCurveBiquadPair(a, b, 0);
    const int j = 150;
    EXPECT_NEAR(plot.getCurveDb(0, j),
                filters::MagnitudeDb(a, plot.getFrequency(j), 88200.0) + filters::MagnitudeDb(b, plot.getFrequency(j), 88200.0),
                1e-12);
    EXPECT_EQ(plot.getEvaluationCount(), 1);
    plot.setCurveBiquadPair(a, b, 0);
    EXPECT_EQ(plot.getEvaluationCount(), 1);
    plot.setCurveBiquadPair(a, lowPass(501.0), 0); // only the second section moved
    EXPECT_EQ(plot.getEvaluationCount(), 2);
}

TEST_F(Plot, ZeroNumeratorReadsMinus160AndTheSumAddsTheCurves)
{
    plot.setCurveBiquad(BiquadCoefs{0.0, 0.0, 0.0, 1.0, 0.0, 0.0}, 0);
    for (int j = 0; j < Freq_Plot::kPoints; j += 17)
        EXPECT_EQ(plot.getCurveDb(0, j), -160.0);
    plot.setCurveBiquad(BiquadCoefs{2.0, 0.0, 0.0, 1.0, 0.0, 0.0}, 1); // +6.02 dB everywhere
    plot.setCurveBiquad(BiquadCoefs{0.5, 0.0, 0.0, 1.0, 0.0, 0.0}, 2); // -6.02 dB
    EXPECT_NEAR(plot.getSumPixels(40), -160.0 * plot.getYScale(), 1e-9);
    plot.setCurveInSum(0, false);
    plot.setCurveBiquad(BiquadCoefs{0.25, 0.0, 0.0, 1.0, 0.0, 0.0}, 2);
    EXPECT_NEAR(plot.getSumDb(40), 20.0 * std::log10(0.5), 1e-9);
    EXPECT_NEAR(plot.getSumPixels(40), 20.0 * std::log10(0.5) * plot.getYScale(), 1e-9);
}

TEST(PlotCurves, AtMostTwelve)
{
    Freq_Plot plot;
    plot.setSize(100, 50);
    plot.setCurveCount(15, false, true);
    EXPECT_EQ(plot.getCurveCount(), 12);
}

TEST(PlotPaint, FillsBetweenTheBaselineAndTheCurve)
{
    Freq_Plot plot;
    plot.setSize(200, 100);
    plot.setDbRange(10.0); // 5 pixels per dB, 0 dB at y = 50
    plot.setCurveOpacity(1.0f);
    plot.setCurveCount(1, false, false);
    plot.setCurveColour(juce::Colours::red, 0);
    plot.setCurveBiquad(BiquadCoefs{2.0, 0.0, 0.0, 1.0, 0.0, 0.0}, 0); // +6.02 dB: 30 pixels up
    juce::Image canvas(juce::Image::ARGB, 200, 100, true);
    juce::Graphics g(canvas);
    plot.paint(g);
    EXPECT_EQ(canvas.getPixelAt(100, 15).getAlpha(), 0);
    EXPECT_EQ(canvas.getPixelAt(100, 22), juce::Colours::red);
    EXPECT_EQ(canvas.getPixelAt(100, 48), juce::Colours::red);
    EXPECT_EQ(canvas.getPixelAt(100, 52).getAlpha(), 0);
}

TEST(PlotRate, OwnerSetRateAndRangeRebuildTheGrid)
{
    Freq_Plot plot;
    plot.setSize(300, 100);
    plot.setFrequencyRange(20.0, 8000.0);
    plot.setSampleRate(16000.0);
    plot.setCurveCount(1, true, false);
    plot.setDbRange(20.0);
    EXPECT_NEAR(plot.getFrequency(Freq_Plot::kPoints - 1), 8000.0, 1e-9);
    const BiquadCoefs c = filters::LowPass2(16000, 1000.0, 1.414);
    plot.setCurveBiquad(c, 0);
    EXPECT_NEAR(plot.getCurveDb(0, 120), filters::MagnitudeDb(c, plot.getFrequency(120), 16000.0), 1e-12);
}
