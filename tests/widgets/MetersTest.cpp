// The meters: ballistics after a known time, bar lengths at known levels, frames of the
// needle meter and the clip light's latching.
#include "widgets/BarMeter.h"
#include "widgets/ClipIndicator.h"
#include "widgets/MeterClock.h"
#include "widgets/VUMeter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
std::uint32_t g_nowMs = 0;
std::uint32_t testClock()
{
    return g_nowMs;
}

class Meters : public ::testing::Test
{
protected:
    Meters()
    {
        g_nowMs = 5000;
        meter_clock::setSource(testClock);
    }
    ~Meters() override { meter_clock::setSource(nullptr); }

    static void advance(std::uint32_t ms) { g_nowMs += ms; }

    double level = 0.0;
};

juce::Image meterImage(int w, int h)
{
    juce::Image image(juce::Image::ARGB, w, h, true);
    image.clear(image.getBounds(), juce::Colours::lime);
    return image;
}
} // namespace

TEST_F(Meters, BarAttacksFastAndReleasesSlowly)
{
    BarMeter bar(&level);
    level = 1.0;
    advance(10);
    bar.timerCallback();
    EXPECT_NEAR(bar.getSmoothedLevel(), 1.0 - std::exp(-0.7), 1e-12); // 0.5034
    level = 0.0;
    advance(100);
    const double before = bar.getSmoothedLevel();
    bar.timerCallback();
    EXPECT_NEAR(bar.getSmoothedLevel(), before * std::exp(-0.2), 1e-12);
}

TEST_F(Meters, InvertedBarSwapsAttackAndRelease)
{
    BarMeter bar(&level);
    bar.setInverted(true);
    level = 1.0;
    advance(10);
    bar.timerCallback();
    EXPECT_NEAR(bar.getSmoothedLevel(), 1.0 - std::exp(-0.02), 1e-12); // 0.0198
}

TEST_F(Meters, LevelsAreClampedAndLongPausesCountAsOneHundredSeconds)
{
    level = 3.0;
    BarMeter bar(&level);
    EXPECT_DOUBLE_EQ(bar.getSmoothedLevel(), 1.0);
    level = -2.0;
    advance(1000000);
    bar.timerCallback();
    EXPECT_DOUBLE_EQ(bar.getSmoothedLevel(), 0.0); // fully released, and clamped
    // A counter that went backwards reads as no time at all.
    level = 1.0;
    g_nowMs -= 50;
    bar.timerCallback();
    EXPECT_DOUBLE_EQ(bar.getSmoothedLevel(), 0.0);
}

// What a bar paints on a transparent canvas of w x h.
juce::Image painted(BarMeter& bar, int w, int h)
{
    juce::Image canvas(juce::Image::ARGB, w, h, true);
    juce::Graphics g(canvas);
    bar.paint(g);
    return canvas;
}

// Lit length of a bar showing `level` from the start, on a lit image of w x h.
int litLengthAt(double level, int w, int h, int segments)
{
    BarMeter bar(&level);
    bar.setImage(meterImage(w, h));
    bar.setSegments(segments, 0, 0);
    return bar.litLength();
}

TEST_F(Meters, BarLengthsAtStatedLevels)
{
    const double pixelsPerStep = 136.0 / 134.0;
    // sqrt(0.25) x 134 = 67 steps plus the rounding step: 68.
    EXPECT_EQ(litLengthAt(0.25, 12, 136, 135), static_cast<int>(68 * pixelsPerStep));
    EXPECT_EQ(litLengthAt(0.24, 12, 136, 135), static_cast<int>(65 * pixelsPerStep));
    EXPECT_EQ(litLengthAt(1.0, 12, 136, 135), 136);
    EXPECT_EQ(litLengthAt(0.0, 12, 136, 135), 0);
    // Without segments the whole image is lit whatever the level.
    EXPECT_EQ(litLengthAt(0.01, 66, 4, 0), 66);
    BarMeter bar(&level);
    bar.setImage(meterImage(12, 136));
    bar.setSegments(135, 0, 0);
    EXPECT_NEAR(bar.getPixelsPerStep(), pixelsPerStep, 1e-12);
}

TEST_F(Meters, BarPaintsTheLitPartOrItsComplement)
{
    level = 0.25;
    BarMeter bar(&level);
    bar.setImage(meterImage(66, 4));
    bar.setSegments(66, 0, 0); // 0.5 x 65 = 32.5 -> 33 steps of 66/65 pixels
    ASSERT_EQ(bar.litLength(), 33);
    const juce::Image canvas = painted(bar, 66, 4);
    EXPECT_EQ(bar.getLastDrawnLength(), 33);
    EXPECT_EQ(canvas.getPixelAt(32, 2), juce::Colours::lime);
    EXPECT_EQ(canvas.getPixelAt(33, 2).getAlpha(), 0);
    bar.setInverted(true);
    const juce::Image inverted = painted(bar, 66, 4);
    EXPECT_EQ(inverted.getPixelAt(32, 2).getAlpha(), 0);
    EXPECT_EQ(inverted.getPixelAt(33, 2), juce::Colours::lime);
}

TEST_F(Meters, VerticalBarLightsFromTheBottom)
{
    level = 1.0;
    BarMeter bar(&level);
    bar.setImage(meterImage(12, 20));
    bar.setSegments(5, 0, 0);
    level = 0.25; // 0.5 x 4 = 2, plus the rounding step: 3 steps of 5 pixels
    advance(1000);
    for (int i = 0; i < 40; ++i, advance(1000))
        bar.timerCallback();
    ASSERT_NEAR(bar.getSmoothedLevel(), 0.25, 1e-9);
    const juce::Image canvas = painted(bar, 12, 20);
    EXPECT_EQ(canvas.getPixelAt(5, 4).getAlpha(), 0);
    EXPECT_EQ(canvas.getPixelAt(5, 5), juce::Colours::lime);
}

TEST_F(Meters, NeedleRisesAndFallsAndShowsItsFrame)
{
    VUMeter vu(&level);
    vu.setImage(meterImage(75, 1760), 110);
    level = 1.0;
    advance(125);
    vu.timerCallback();
    EXPECT_NEAR(vu.getSmoothedLevel(), 1.0 - std::exp(-1.0), 1e-12);
    advance(100000);
    vu.timerCallback();
    EXPECT_EQ(vu.currentFrame(), 109);
    // Stacked frames of 16 rows.
    EXPECT_EQ(vu.frameBounds(109), juce::Rectangle<int>(0, 109 * 16, 75, 16));
    level = 0.0;
    advance(500);
    vu.timerCallback();
    EXPECT_NEAR(vu.getSmoothedLevel(), std::exp(-1.0), 1e-12);
    // Side by side when wider than tall.
    VUMeter wide(&level);
    wide.setImage(meterImage(380, 98), 10);
    EXPECT_EQ(wide.frameBounds(3), juce::Rectangle<int>(114, 0, 38, 98));
}

TEST_F(Meters, ClipLightLatchesUntilPutOut)
{
    ClipIndicator clip(&level);
    level = 0.999;
    clip.timerCallback();
    EXPECT_FALSE(clip.isLit());
    level = 1.0;
    clip.timerCallback();
    EXPECT_TRUE(clip.isLit());
    level = 0.2;
    clip.timerCallback();
    EXPECT_TRUE(clip.isLit());
    clip.putOut();
    EXPECT_FALSE(clip.isLit());
    level = 1.5;
    clip.timerCallback();
    EXPECT_TRUE(clip.isLit());
}
