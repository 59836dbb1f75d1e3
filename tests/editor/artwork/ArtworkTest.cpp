// The embedded images: names and order, the PNG files' own headers against the catalogue,
// decoding, frame arithmetic, and what the pictures must show (frames that differ, meters
// that are the only difference between the two backgrounds, each device as its row draws it).
#include "editor/EditorLayout.h"
#include "editor/artwork/Artwork.h"
#include "editor/artwork/ArtworkCatalogue.h"
#include "params/DeviceTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <string>

namespace
{
struct PngHeader
{
    std::uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = -1, interlace = -1;
};

std::uint32_t bigEndian(const unsigned char* p) { return (p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

// The IHDR chunk, which a PNG file must carry first.
PngHeader readHeader(const Artwork::Entry& entry)
{
    PngHeader header;
    const auto* bytes = reinterpret_cast<const unsigned char*>(entry.data);
    if (entry.size < 33 || std::string(entry.data + 12, 4) != "IHDR")
        return header;
    header.width = bigEndian(bytes + 16);
    header.height = bigEndian(bytes + 20);
    header.bitDepth = bytes[24];
    header.colourType = bytes[25];
    header.interlace = bytes[28];
    return header;
}

// Mean absolute difference of two equally sized parts of images, 0..255.
double meanDifference(const juce::Image& a, juce::Rectangle<int> ra, const juce::Image& b, juce::Rectangle<int> rb)
{
    double sum = 0.0;
    for (int y = 0; y < ra.getHeight(); ++y)
        for (int x = 0; x < ra.getWidth(); ++x)
        {
            const juce::Colour p = a.getPixelAt(ra.getX() + x, ra.getY() + y);
            const juce::Colour q = b.getPixelAt(rb.getX() + x, rb.getY() + y);
            sum += std::abs(p.getRed() - q.getRed()) + std::abs(p.getGreen() - q.getGreen()) +
                   std::abs(p.getBlue() - q.getBlue()) + std::abs(p.getAlpha() - q.getAlpha());
        }
    return sum / (4.0 * ra.getWidth() * ra.getHeight());
}

juce::Rectangle<int> frameRect(const Artwork::ImageSpec& spec, int k)
{
    return spec.framesSideBySide() ? juce::Rectangle<int>(k * spec.frameWidth(), 0, spec.frameWidth(), spec.height)
                                   : juce::Rectangle<int>(0, k * spec.frameHeight(), spec.width, spec.frameHeight());
}
} // namespace

TEST(Artwork, EmbedsEveryCatalogueImageInOrderUnderItsName)
{
    ASSERT_EQ(Artwork::end() - Artwork::begin(), 34);
    ASSERT_EQ(Artwork::catalogueSize(), 34);
    const Artwork::ImageSpec* spec = Artwork::catalogueBegin();
    std::set<std::string> names;
    for (const Artwork::Entry* entry = Artwork::begin(); entry != Artwork::end(); ++entry, ++spec)
    {
        EXPECT_STREQ(entry->name, spec->name);
        names.insert(entry->name);
    }
    EXPECT_EQ(names.size(), 34u);
    // The named arrays are the table's.
    EXPECT_EQ(Artwork::SIM_Strip_r1_png, Artwork::begin()[11].data);
    EXPECT_EQ(Artwork::SIM_Strip_r1_pngSize, Artwork::begin()[11].size);
    EXPECT_EQ(Artwork::_12dB_Button_on_png, Artwork::begin()[18].data);
}

TEST(Artwork, EachPngHeaderGivesTheCataloguedSizeEightBitColourTypeAndNoInterlace)
{
    const Artwork::ImageSpec* spec = Artwork::catalogueBegin();
    for (const Artwork::Entry* entry = Artwork::begin(); entry != Artwork::end(); ++entry, ++spec)
    {
        SCOPED_TRACE(entry->name);
        const PngHeader header = readHeader(*entry);
        EXPECT_EQ(header.width, static_cast<std::uint32_t>(spec->width));
        EXPECT_EQ(header.height, static_cast<std::uint32_t>(spec->height));
        EXPECT_EQ(header.bitDepth, 8);
        EXPECT_EQ(header.colourType, spec->rgb ? 2 : 6); // 2 = RGB, 6 = RGBA
        EXPECT_EQ(header.interlace, 0);

        const juce::Image image = Artwork::decode(entry->data, entry->size);
        ASSERT_TRUE(image.isValid());
        EXPECT_EQ(image.getWidth(), spec->width);
        EXPECT_EQ(image.getHeight(), spec->height);
        EXPECT_EQ(image.hasAlphaChannel(), !spec->rgb);
    }
}

TEST(Artwork, KnownSizesColourTypesAndFrameCounts)
{
    struct Known { const char* name; int w, h; bool rgb; int frames, frameW, frameH; };
    const Known known[] = {
        {"Crumlet_Stereo_png", 749, 565, true, 1, 749, 565},
        {"Knobs_Brushed_large_png", 3782, 64, false, 61, 62, 64},
        {"Knobs_Knurled_small_png", 2745, 43, false, 61, 45, 43},
        {"Knobs_Ridge_large_png", 3721, 74, false, 61, 61, 74},
        {"DistortionMeter_png", 380, 98, true, 10, 38, 98},
        {"SIM_Strip_r1_png", 22468, 96, true, 164, 137, 96},
        {"LPF_Button_on_png", 27, 15, false, 1, 27, 15},
        {"SIM_Decrement_Button_pressed_png", 10, 13, true, 1, 10, 13},
        {"Noise_Visualizer_Filmstrip_png", 75, 1760, false, 110, 75, 16},
    };
    for (const Known& k : known)
    {
        SCOPED_TRACE(k.name);
        const Artwork::ImageSpec* spec = Artwork::findImageSpec(k.name);
        ASSERT_NE(spec, nullptr);
        EXPECT_EQ(spec->width, k.w);
        EXPECT_EQ(spec->height, k.h);
        EXPECT_EQ(spec->rgb, k.rgb);
        EXPECT_EQ(spec->frames, k.frames);
        EXPECT_EQ(spec->frameWidth(), k.frameW);
        EXPECT_EQ(spec->frameHeight(), k.frameH);
    }
    EXPECT_EQ(Artwork::findImageSpec("LPF_Button_on_png")->fileName(), "LPF_Button_on.png");
    EXPECT_EQ(Artwork::findImageSpec("_12dB_Button_on_png")->fileName(), "_12dB_Button_on.png");
}

TEST(Artwork, FrameWidthIsTheStripWidthDividedByTheFrameCountTruncated)
{
    EXPECT_EQ(22468 / 164, 137);
    const Artwork::ImageSpec wider{"x", 22468 + 163, 96, true, 164};
    EXPECT_EQ(wider.frameWidth(), 137);
    const Artwork::ImageSpec noise = *Artwork::findImageSpec("Noise_Visualizer_Filmstrip_png");
    EXPECT_FALSE(noise.framesSideBySide());
    EXPECT_EQ(noise.frameHeight(), 16);
}

TEST(Artwork, BadInputDecodesToANullImage)
{
    EXPECT_TRUE(Artwork::decode(nullptr, 100).isNull());
    EXPECT_TRUE(Artwork::decode(Artwork::Enable_on_png, 4).isNull());
    EXPECT_TRUE(Artwork::decode(Artwork::Enable_on_png, 0).isNull());
    EXPECT_TRUE(Artwork::decode(Artwork::Enable_on_png, -3).isNull());
    const char garbage[] = "this is not an image at all";
    EXPECT_TRUE(Artwork::decode(garbage, sizeof garbage).isNull());
    // A PNG cut short or damaged is refused before it reaches the decoder.
    EXPECT_TRUE(Artwork::decode(Artwork::Enable_on_png, 40).isNull());
    EXPECT_TRUE(Artwork::decode(Artwork::Enable_on_png, Artwork::Enable_on_pngSize - 1).isNull());
    juce::MemoryBlock damaged(Artwork::Enable_on_png, static_cast<size_t>(Artwork::Enable_on_pngSize));
    static_cast<char*>(damaged.getData())[60] ^= 0x40;
    EXPECT_TRUE(Artwork::decode(static_cast<const char*>(damaged.getData()), static_cast<int>(damaged.getSize())).isNull());
    EXPECT_TRUE(Artwork::decode(Artwork::Enable_on_png, Artwork::Enable_on_pngSize).isValid());
    EXPECT_TRUE(Artwork::decodeNamed("No_Such_Image_png").isNull());
    EXPECT_TRUE(Artwork::decodeNamed("").isNull());
    EXPECT_EQ(Artwork::decodeNamed("SIM_Strip_r1_png").getWidth(), 22468);
}

TEST(Artwork, ImagesTakeTheSizesOfTheControlsTheyDraw)
{
    using namespace EditorLayout;
    const auto size = [](const char* name) {
        const Artwork::ImageSpec* spec = Artwork::findImageSpec(name);
        return std::make_pair(spec->frameWidth(), spec->frameHeight());
    };
    const auto controlSize = [](const char* id) {
        const Control* c = findControl(id);
        return std::make_pair(c->bounds.w, c->bounds.h);
    };
    EXPECT_EQ(size("Knobs_Brushed_large_png"), controlSize("InputGain"));
    EXPECT_EQ(size("Knobs_Brushed_small_png"), controlSize("Balance"));
    EXPECT_EQ(size("Knobs_Knurled_large_png"), controlSize("DistortionAmount"));
    EXPECT_EQ(size("Knobs_Knurled_small_png"), controlSize("DistortionRectify"));
    EXPECT_EQ(size("Knobs_Ridge_large_png"), controlSize("NoiseLevel"));
    EXPECT_EQ(size("Knobs_Ridge_small_png"), controlSize("NoiseRange"));
    EXPECT_EQ(size("DistortionMeter_png"), controlSize("DistortionAmount.meter"));
    EXPECT_EQ(size("SIM_Strip_r1_png"), controlSize("SIMType.picture"));
    EXPECT_EQ(size("Enable_LED_on_png"), controlSize("SIMEnable"));
    EXPECT_EQ(size("Enable_on_png"), controlSize("GateEnable"));
    EXPECT_EQ(size("HPF_Button_on_png"), controlSize("EQFilterType.HPF"));
    EXPECT_EQ(size("SIM_Increment_Button_png"), controlSize("SIMType.next"));
    EXPECT_EQ(size("ClipIndicator_thinner_png"), controlSize("InputClip.0"));
    EXPECT_EQ(size("Noise_Visualizer_Filmstrip_png"), controlSize("NoiseLevel.display"));
    EXPECT_EQ(size("Meter_Gate_Input_stereo_png"), controlSize("GateInputMeter.1"));
}

TEST(Artwork, EveryDevicePictureShowsSomethingAndDiffersFromItsNeighbours)
{
    const Artwork::ImageSpec& spec = *Artwork::findImageSpec("SIM_Strip_r1_png");
    const juce::Image strip = Artwork::decodeNamed("SIM_Strip_r1_png");
    ASSERT_TRUE(strip.isValid());
    for (int k = 0; k < spec.frames; ++k)
    {
        SCOPED_TRACE(k);
        // Not an empty frame: the picture area (above the caption) has real contrast.
        float lo = 1.0f, hi = 0.0f;
        const auto frame = frameRect(spec, k);
        for (int y = 8; y < 80; y += 2)
            for (int x = 8; x < frame.getWidth() - 8; x += 2)
            {
                const float b = strip.getPixelAt(frame.getX() + x, y).getPerceivedBrightness();
                lo = std::min(lo, b);
                hi = std::max(hi, b);
            }
        EXPECT_GT(hi - lo, 0.25f);
        if (k + 1 < spec.frames)
        {
            EXPECT_GT(meanDifference(strip, frame, strip, frameRect(spec, k + 1)), 1.0);
        }
    }
}

// The embedded strip against the picture rows (tools/artwork/devices), drawn afresh by the
// artwork program: frame k must be the drawing and caption of device k's row.
TEST(Artwork, EveryDevicePictureIsWhatItsRowDraws)
{
    const juce::File dir = juce::File::createTempFile("crumlet-device-pictures");
    ASSERT_TRUE(dir.createDirectory());
    juce::ChildProcess draw;
    ASSERT_TRUE(draw.start(juce::StringArray{CRUMLET_DRAW_ARTWORK, dir.getFullPathName(), "SIM_Strip_r1_png"}));
    ASSERT_TRUE(draw.waitForProcessToFinish(60000));
    ASSERT_EQ(draw.getExitCode(), 0u);
    const juce::Image drawn = juce::ImageFileFormat::loadFrom(dir.getChildFile("SIM_Strip_r1.png"));
    dir.deleteRecursively();

    const Artwork::ImageSpec& spec = *Artwork::findImageSpec("SIM_Strip_r1_png");
    const juce::Image embedded = Artwork::decodeNamed("SIM_Strip_r1_png");
    ASSERT_EQ(spec.frames, static_cast<int>(kDeviceCount));
    ASSERT_EQ(drawn.getBounds(), embedded.getBounds());
    for (int k = 0; k < spec.frames; ++k)
        EXPECT_EQ(meanDifference(embedded, frameRect(spec, k), drawn, frameRect(spec, k)), 0.0)
            << "the picture of device " << k << " (" << kDeviceRows[k].name << ") is not what its row draws; "
            << "`cmake --build build --target artwork` redraws the images";
}

TEST(Artwork, KnobPointersMoveEveryFrame)
{
    for (const char* name : {"Knobs_Brushed_large_png", "Knobs_Brushed_small_png", "Knobs_Knurled_large_png",
                             "Knobs_Knurled_small_png", "Knobs_Ridge_large_png", "Knobs_Ridge_small_png"})
    {
        SCOPED_TRACE(name);
        const Artwork::ImageSpec& spec = *Artwork::findImageSpec(name);
        const juce::Image strip = Artwork::decodeNamed(name);
        for (int k = 0; k + 1 < spec.frames; ++k)
            EXPECT_GT(meanDifference(strip, frameRect(spec, k), strip, frameRect(spec, k + 1)), 0.05) << k;
        // Turned half way, the knob looks clearly different from either end.
        EXPECT_GT(meanDifference(strip, frameRect(spec, 0), strip, frameRect(spec, 30)), 1.0);
        EXPECT_GT(meanDifference(strip, frameRect(spec, 60), strip, frameRect(spec, 30)), 1.0);
    }
}

TEST(Artwork, NoiseGrowsBrighterAndTheDistortionDialWarmerWithTheFrame)
{
    // Mean of a pixel measure over one frame.
    const auto mean = [](const char* name, int frame, float (*measure)(juce::Colour)) {
        const Artwork::ImageSpec& spec = *Artwork::findImageSpec(name);
        const juce::Image strip = Artwork::decodeNamed(name);
        const juce::Rectangle<int> r = frameRect(spec, frame);
        double sum = 0.0;
        for (int y = r.getY(); y < r.getBottom(); ++y)
            for (int x = r.getX(); x < r.getRight(); ++x)
                sum += measure(strip.getPixelAt(x, y));
        return sum / (r.getWidth() * r.getHeight());
    };
    const auto brightness = [](juce::Colour c) { return c.getPerceivedBrightness(); };
    const auto warmth = [](juce::Colour c) { return (c.getRed() - c.getBlue()) / 255.0f; };
    EXPECT_LT(mean("Noise_Visualizer_Filmstrip_png", 0, brightness) + 0.1,
              mean("Noise_Visualizer_Filmstrip_png", 109, brightness));
    EXPECT_LT(mean("Noise_Visualizer_Filmstrip_png", 30, brightness), mean("Noise_Visualizer_Filmstrip_png", 80, brightness));
    EXPECT_LT(mean("DistortionMeter_png", 0, warmth) + 0.02, mean("DistortionMeter_png", 9, warmth));
}

TEST(Artwork, TheBackgroundsDifferOnlyWhereTheMetersAndTheirLegendsAre)
{
    const juce::Image stereo = Artwork::decodeNamed("Crumlet_Stereo_png");
    const juce::Image mono = Artwork::decodeNamed("Crumlet_Mono_png");
    juce::RectangleList<int> meters;
    for (const auto layout : {EditorLayout::Channels::Stereo, EditorLayout::Channels::Mono})
        for (const auto& control : EditorLayout::controls(layout))
            if (control.parameter == nullptr && control.look != EditorLayout::Look::Plot &&
                control.look != EditorLayout::Look::NoiseDisplay)
                meters.add(juce::Rectangle<int>(control.bounds.x, control.bounds.y, control.bounds.w, control.bounds.h)
                               .expanded(2));
    // The legends under the level meters follow them.
    for (const auto layout : {EditorLayout::Channels::Stereo, EditorLayout::Channels::Mono})
        for (const auto& legend : EditorLayout::legends(layout))
            if (legend.section == EditorLayout::Section::Levels)
                meters.add({legend.bounds.x, legend.bounds.y, legend.bounds.w, legend.bounds.h});
    int differentInside = 0, differentOutside = 0;
    for (int y = 0; y < stereo.getHeight(); ++y)
        for (int x = 0; x < stereo.getWidth(); ++x)
            if (stereo.getPixelAt(x, y) != mono.getPixelAt(x, y))
                ++(meters.containsPoint({x, y}) ? differentInside : differentOutside);
    EXPECT_EQ(differentOutside, 0);
    EXPECT_GT(differentInside, 500);
}

namespace
{
// Angle (degrees, 0 = up, clockwise) of the centroid of the pixels that `isPointer` picks
// within `reach` (a fraction of the radius) of the knob's centre in frame k.
double pointerAngle(const char* name, EditorLayout::Look look, int k, bool (*isPointer)(juce::Colour), float reach)
{
    const Artwork::ImageSpec& spec = *Artwork::findImageSpec(name);
    const juce::Image strip = Artwork::decodeNamed(name);
    const EditorLayout::KnobGeometry g = EditorLayout::knobGeometry(look);
    const float r = g.radius * reach; // the cap's top, inside its skirt
    double sx = 0.0, sy = 0.0;
    int count = 0;
    for (int y = 0; y < spec.frameHeight(); ++y)
        for (int x = 0; x < spec.frameWidth(); ++x)
        {
            const float dx = x + 0.5f - g.centreX, dy = y + 0.5f - g.centreY;
            if (dx * dx + dy * dy > r * r || dx * dx + dy * dy < 9.0f)
                continue;
            if (isPointer(strip.getPixelAt(k * spec.frameWidth() + x, y)))
            {
                sx += dx;
                sy += dy;
                ++count;
            }
        }
    EXPECT_GT(count, 4) << name << " frame " << k << ": pointer not found";
    return juce::radiansToDegrees(std::atan2(sx, -sy));
}
} // namespace

TEST(Artwork, KnobPointersSweepFromSevenToFiveOClock)
{
    using EditorLayout::Look;
    const auto amber = [](juce::Colour c) { return c.getRed() > 150 && c.getRed() > c.getBlue() + 90; };
    const auto white = [](juce::Colour c) { return c.getRed() > 215 && c.getGreen() > 215 && c.getBlue() > 210; };
    const auto dark = [](juce::Colour c) { return c.getAlpha() > 200 && c.getPerceivedBrightness() < 0.2f; };
    struct Case { const char* name; Look look; bool (*isPointer)(juce::Colour); float reach; };
    const Case cases[] = {
        {"Knobs_Ridge_large_png", Look::RidgeLarge, amber, 1.0f},
        {"Knobs_Ridge_small_png", Look::RidgeSmall, amber, 1.0f},
        {"Knobs_Knurled_large_png", Look::KnurledLarge, white, 0.72f},
        {"Knobs_Knurled_small_png", Look::KnurledSmall, white, 0.72f},
        {"Knobs_Brushed_large_png", Look::BrushedLarge, dark, 0.8f},
        {"Knobs_Brushed_small_png", Look::BrushedSmall, dark, 0.8f},
    };
    for (const Case& c : cases)
        for (int k = 0; k < 61; ++k)
        {
            const double expected = -150.0 + 5.0 * k;
            EXPECT_NEAR(pointerAngle(c.name, c.look, k, c.isPointer, c.reach), expected, 6.0) << c.name << " frame " << k;
        }
}

TEST(Artwork, BarMetersRunGreenToRedAndGainMetersAreAmber)
{
    const juce::Image io = Artwork::decodeNamed("Meter_IO_thinner_png");
    const juce::Colour bottom = io.getPixelAt(6, 134), top = io.getPixelAt(6, 2);
    EXPECT_GT(bottom.getGreen(), bottom.getRed() + 60);
    EXPECT_GT(top.getRed(), top.getGreen() + 60);
    const juce::Image gate = Artwork::decodeNamed("Meter_Gate_Input_mono_png");
    EXPECT_GT(gate.getPixelAt(2, 4).getGreen(), gate.getPixelAt(2, 4).getRed());
    EXPECT_GT(gate.getPixelAt(156, 4).getRed(), gate.getPixelAt(156, 4).getGreen());
    const juce::Image reduction = Artwork::decodeNamed("Meter_Duck_GainReduction_stereo_png");
    for (const int x : {2, 32, 64})
    {
        const juce::Colour c = reduction.getPixelAt(x, 2);
        EXPECT_GT(c.getRed(), 200) << x;
        EXPECT_GT(c.getGreen(), 120) << x;
        EXPECT_LT(c.getBlue(), 120) << x;
    }
}
