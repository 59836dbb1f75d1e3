// The widgets over the product's own images: the sizes each look gives its controls, the
// fader's orientation and the meters' steps and frames, as the editor will set them up.
#include "editor/artwork/Artwork.h"
#include "widgets/BarMeter.h"
#include "widgets/LookAndFeel_Orvex.h"
#include "widgets/VUMeter.h"

#include <gtest/gtest.h>

namespace
{
struct FilmstripLook
{
    const char* image;
    int frames;
    int width;
    int height;
};

// The editor's filmstrip looks: image, frames, and the control size one frame gives.
const FilmstripLook kLooks[] = {
    {"Knobs_Brushed_large_png", 61, 62, 64}, {"Knobs_Brushed_small_png", 61, 48, 44},
    {"Knobs_Knurled_large_png", 61, 55, 64}, {"Knobs_Knurled_small_png", 61, 45, 43},
    {"Knobs_Ridge_large_png", 61, 61, 74},   {"Knobs_Ridge_small_png", 61, 42, 42},
    {"DistortionMeter_png", 10, 38, 98},     {"SIM_Strip_r1_png", 164, 137, 96},
};
} // namespace

TEST(ArtworkLooks, EachFilmstripGivesItsControlSize)
{
    for (const FilmstripLook& l : kLooks)
    {
        LookAndFeel_Orvex look;
        EXPECT_EQ(look.setKnobFilmstrip(Artwork::decodeNamed(l.image), l.frames, 0), l.width) << l.image;
        EXPECT_EQ(look.getControlWidth(), l.width) << l.image;
        EXPECT_EQ(look.getControlHeight(), l.height) << l.image;
    }
}

TEST(ArtworkLooks, FadersAreHorizontalWithAFiveByFiveThumbRadius)
{
    LookAndFeel_Orvex look;
    look.setSliderImages(Artwork::decodeNamed("Band_Fader_Fill_png"), Artwork::decodeNamed("Band_Fader_Cap_png"));
    look.setControlSize(137, 5);
    look.setFillReference(2, 0);
    juce::Slider slider;
    EXPECT_GT(look.getControlWidth(), look.getControlHeight());
    EXPECT_EQ(look.getSliderThumbRadius(slider), 5); // half the 10-pixel cap
}

TEST(ArtworkLooks, MetersStepAndFrameOverTheirImages)
{
    double level = 0.0;
    BarMeter io(&level);
    io.setImage(Artwork::decodeNamed("Meter_IO_thinner_png"));
    io.setSegments(135, 0, 0);
    EXPECT_NEAR(io.getPixelsPerStep(), 136.0 / 134.0, 1e-12);
    BarMeter duck(&level);
    duck.setImage(Artwork::decodeNamed("Meter_Duck_Input_stereo_png"));
    duck.setSegments(66, 0, 0);
    EXPECT_NEAR(duck.getPixelsPerStep(), 66.0 / 65.0, 1e-12);
    VUMeter noise(&level);
    noise.setImage(Artwork::decodeNamed("Noise_Visualizer_Filmstrip_png"), 110);
    EXPECT_EQ(noise.frameBounds(1), juce::Rectangle<int>(0, 16, 75, 16));
}
