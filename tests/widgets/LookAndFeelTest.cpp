// The image look: which filmstrip frame a knob shows, the control sizes its images imply,
// the linear slider's fill and thumb, and the menu and combo-box metrics.
#include "widgets/ArialFont.h"
#include "widgets/LookAndFeel_Orvex.h"
#include "widgets/Slider_Orvex.h"

#include <gtest/gtest.h>

namespace
{
// A filmstrip whose frame k is filled with red level k, so a drawn pixel names its frame.
juce::Image codedFilmstrip(int frames, int frameWidth, int height)
{
    juce::Image strip(juce::Image::ARGB, frames * frameWidth, height, true);
    juce::Graphics g(strip);
    for (int k = 0; k < frames; ++k)
    {
        g.setColour(juce::Colour(static_cast<juce::uint8>(k), 0, 0));
        g.fillRect(k * frameWidth, 0, frameWidth, height);
    }
    return strip;
}

juce::Image solid(int w, int h, juce::Colour c)
{
    juce::Image image(juce::Image::ARGB, w, h, true);
    image.clear(image.getBounds(), c);
    return image;
}

int drawnFrame(LookAndFeel_Orvex& look, float proportion)
{
    juce::Image canvas(juce::Image::ARGB, 64, 8, true);
    juce::Graphics g(canvas);
    Slider_Orvex slider;
    look.drawRotarySlider(g, 0, 0, 64, 8, proportion, 0.f, 1.f, slider);
    return canvas.getPixelAt(32, 4).getRed();
}
} // namespace

TEST(LookFilmstrip, FrameWidthAndTheFrameShownAtAProportion)
{
    LookAndFeel_Orvex look;
    EXPECT_EQ(look.setKnobFilmstrip(codedFilmstrip(20, 64, 8), 20, 0), 64);
    EXPECT_EQ(look.getControlWidth(), 64);
    EXPECT_EQ(look.getControlHeight(), 8);
    // 19 x 0.5 = 9.5 rounds to the even 10; beyond the travel is the last frame.
    EXPECT_EQ(drawnFrame(look, 0.5f), 10);
    EXPECT_EQ(drawnFrame(look, 1.5f), 19);
    EXPECT_EQ(drawnFrame(look, -1.0f), 0);
    EXPECT_EQ(look.frameForProportion(0.25), 5); // 4.75
}

TEST(LookFilmstrip, FirstFrameShiftsTheTravel)
{
    LookAndFeel_Orvex look;
    look.setKnobFilmstrip(codedFilmstrip(20, 64, 8), 20, 2);
    EXPECT_EQ(drawnFrame(look, 0.0f), 2);
    EXPECT_EQ(drawnFrame(look, 1.0f), 19);
}

TEST(LookFilmstrip, OverlayIsDrawnOnlyWhenTheSliderShowsIt)
{
    LookAndFeel_Orvex look;
    look.setKnobFilmstrip(codedFilmstrip(4, 64, 8), 4, 0);
    look.setOverlayImage(1, solid(64, 8, juce::Colours::blue));
    juce::Image canvas(juce::Image::ARGB, 64, 8, true);
    juce::Graphics g(canvas);
    Slider_Orvex slider;
    look.drawRotarySlider(g, 0, 0, 64, 8, 0.f, 0.f, 1.f, slider);
    EXPECT_EQ(canvas.getPixelAt(10, 4).getBlue(), 0);
    slider.setOverlay(true, 1);
    look.drawRotarySlider(g, 0, 0, 64, 8, 0.f, 0.f, 1.f, slider);
    EXPECT_EQ(canvas.getPixelAt(10, 4).getBlue(), 255);
}

TEST(LookSizes, FaderSizesComeFromTheExplicitSizeOrTheFillImage)
{
    LookAndFeel_Orvex look;
    look.setSliderImages(solid(20, 150, juce::Colours::green), solid(20, 6, juce::Colours::white));
    // No filmstrip, no explicit size: the fill image's size, taller than wide.
    EXPECT_EQ(look.getControlWidth(), 20);
    EXPECT_EQ(look.getControlHeight(), 150);
    juce::Slider slider;
    EXPECT_EQ(look.getSliderThumbRadius(slider), 3); // half the thumb's height
    look.setControlSize(137, 5);
    EXPECT_EQ(look.getControlWidth(), 137);
    EXPECT_EQ(look.getControlHeight(), 5);
    look.setSliderImages(solid(140, 6, juce::Colours::green), solid(10, 6, juce::Colours::white));
    EXPECT_EQ(look.getSliderThumbRadius(slider), 5); // half the thumb's width
}

TEST(LookLinear, HorizontalFillRunsFromTheReferenceToTheThumb)
{
    LookAndFeel_Orvex look;
    look.setSliderImages(solid(140, 6, juce::Colours::green), solid(10, 6, juce::Colours::white));
    look.setControlSize(137, 6);
    look.setFillReference(2, 0);
    juce::Image canvas(juce::Image::ARGB, 140, 6, true);
    juce::Graphics g(canvas);
    juce::Slider slider;
    // Thumb centred at 60: its left edge is 55, the fill covers columns 2 to 54.
    look.drawLinearSlider(g, 0, 0, 137, 6, 60.f, 0.f, 137.f, juce::Slider::LinearHorizontal, slider);
    EXPECT_EQ(canvas.getPixelAt(1, 3).getAlpha(), 0);
    EXPECT_EQ(canvas.getPixelAt(2, 3), juce::Colours::green);
    EXPECT_EQ(canvas.getPixelAt(54, 3), juce::Colours::green);
    EXPECT_EQ(canvas.getPixelAt(55, 3), juce::Colours::white);
    EXPECT_EQ(canvas.getPixelAt(64, 3), juce::Colours::white);
    EXPECT_EQ(canvas.getPixelAt(65, 3).getAlpha(), 0);
}

TEST(LookLinear, NothingIsDrawnWithoutAThumb)
{
    LookAndFeel_Orvex look;
    look.setSliderImages(solid(140, 6, juce::Colours::green), juce::Image());
    juce::Image canvas(juce::Image::ARGB, 140, 6, true);
    juce::Graphics g(canvas);
    juce::Slider slider;
    look.drawLinearSlider(g, 0, 0, 137, 6, 60.f, 0.f, 137.f, juce::Slider::LinearHorizontal, slider);
    EXPECT_EQ(canvas.getPixelAt(20, 3).getAlpha(), 0);
}

TEST(LookMenus, ItemSizesFontsAndBackground)
{
    LookAndFeel_Orvex look;
    int w = 0, h = 0;
    look.getIdealPopupMenuItemSize("", true, 0, w, h);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 10);
    look.getIdealPopupMenuItemSize("", true, 24, w, h);
    EXPECT_EQ(h, 12);
    // No standard height: 17 x 1.3 rounded.
    look.getIdealPopupMenuItemSize("Tin Can", false, 0, w, h);
    EXPECT_EQ(h, 22);
    EXPECT_EQ(w, look.getPopupMenuFont().getStringWidth("Tin Can") + 44);
    look.menuScale = 1.5f;
    EXPECT_FLOAT_EQ(look.getPopupMenuFont().getHeight(), 25.5f);
    look.getIdealPopupMenuItemSize("x", false, 20, w, h);
    EXPECT_EQ(h, 30);

    juce::ComboBox box;
    const juce::Font font = look.getComboBoxFont(box);
    EXPECT_FLOAT_EQ(font.getHeight(), 11.0f);
    EXPECT_EQ(font.getTypefaceName(), arialFamily());

    look.setColour(juce::PopupMenu::backgroundColourId, juce::Colours::red);
    juce::Image canvas(juce::Image::ARGB, 40, 30, true);
    juce::Graphics g(canvas);
    look.drawPopupMenuBackground(g, 40, 30);
    EXPECT_EQ(canvas.getPixelAt(1, 1), juce::Colours::red);
    EXPECT_EQ(canvas.getPixelAt(2, 2), juce::Colours::white);
    EXPECT_EQ(canvas.getPixelAt(37, 27), juce::Colours::white);
    EXPECT_EQ(canvas.getPixelAt(38, 27), juce::Colours::red);
}

TEST(ArialFace, FontconfigNamesAnInstalledStandIn)
{
    // Debian's fonts-liberation answers for "Arial" where Arial itself is absent.
    const juce::String family = arialFamily();
    EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family;
    EXPECT_TRUE(juce::Font::findAllTypefaceNames().contains(family)) << family;
}
