// crumlet-draw-artwork OUT_DIR: draws every image of the editor's catalogue and writes it
// as OUT_DIR/NAME.png. Uses only JUCE's software renderer: no display is needed.
#include "Parts.h"

#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace
{
using Draw = std::function<juce::Image(const Artwork::ImageSpec&)>;
using EditorLayout::Look;

std::map<std::string, Draw> drawings()
{
    using Spec = Artwork::ImageSpec;
    auto knob = [](Look look) { return [look](const Spec& s) { return drawKnobStrip(s, look); }; };
    auto lit = [](const char* legend) { return [legend](const Spec& s) { return drawLitButton(s, legend); }; };
    auto meter = [](bool gain) { return [gain](const Spec& s) { return drawBarMeter(s, gain); }; };
    auto step = [](bool up, bool pressed) {
        return [up, pressed](const Spec& s) { return drawStepButton(s, up, pressed); };
    };
    return {
        {"Crumlet_Stereo_png", [](const Spec& s) { return drawBackground(s, EditorLayout::Channels::Stereo); }},
        {"Crumlet_Mono_png", [](const Spec& s) { return drawBackground(s, EditorLayout::Channels::Mono); }},
        {"Knobs_Brushed_large_png", knob(Look::BrushedLarge)},
        {"Knobs_Brushed_small_png", knob(Look::BrushedSmall)},
        {"Knobs_Knurled_large_png", knob(Look::KnurledLarge)},
        {"Knobs_Knurled_small_png", knob(Look::KnurledSmall)},
        {"Knobs_Ridge_large_png", knob(Look::RidgeLarge)},
        {"Knobs_Ridge_small_png", knob(Look::RidgeSmall)},
        {"DistortionMeter_png", drawDistortionMeter},
        {"Band_Fader_Fill_png", drawFaderFill},
        {"Band_Fader_Cap_png", drawFaderCap},
        {"SIM_Strip_r1_png", drawDeviceStrip},
        {"SIM_Increment_Button_png", step(true, false)},
        {"SIM_Increment_Button_pressed_png", step(true, true)},
        {"SIM_Decrement_Button_png", step(false, false)},
        {"SIM_Decrement_Button_pressed_png", step(false, true)},
        {"Enable_LED_on_png", drawEnableLamp},
        {"Enable_on_png", drawEnableButton},
        {"_12dB_Button_on_png", lit("12")},
        {"_24dB_Button_on_png", lit("24")},
        {"HPF_Button_on_png", lit("HPF")},
        {"EQ_Button_on_png", lit("EQ")},
        {"LPF_Button_on_png", lit("LPF")},
        {"Meter_IO_thinner_png", meter(false)},
        {"ClipIndicator_thinner_png", drawClipLight},
        {"Meter_Duck_Input_stereo_png", meter(false)},
        {"Meter_Duck_Input_mono_png", meter(false)},
        {"Meter_Duck_GainReduction_stereo_png", meter(true)},
        {"Meter_Duck_GainReduction_mono_png", meter(true)},
        {"Meter_Gate_Input_stereo_png", meter(false)},
        {"Meter_Gate_Input_mono_png", meter(false)},
        {"Meter_Gate_GainReduction_stereo_png", meter(true)},
        {"Meter_Gate_GainReduction_mono_png", meter(true)},
        {"Noise_Visualizer_Filmstrip_png", drawNoiseVisualiser},
    };
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: crumlet-draw-artwork OUT_DIR [NAME...]\n");
        return 2;
    }
    const juce::File outDir = juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]);
    outDir.createDirectory();
    const auto table = drawings();
    int failures = 0;
    for (const Artwork::ImageSpec* spec = Artwork::catalogueBegin(); spec != Artwork::catalogueEnd(); ++spec)
    {
        // With names given, draw only those (quicker while working on one picture).
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i)
            wanted = wanted || std::string(argv[i]) == spec->name;
        if (!wanted)
            continue;
        const auto drawing = table.find(spec->name);
        juce::Image image = drawing->second(*spec);
        jassert(image.getWidth() == spec->width && image.getHeight() == spec->height);
        const juce::File file = outDir.getChildFile(spec->fileName());
        file.deleteFile();
        juce::FileOutputStream out(file);
        juce::PNGImageFormat png;
        if (!out.openedOk() || !png.writeImageToStream(image, out))
        {
            std::fprintf(stderr, "crumlet-draw-artwork: cannot write %s\n", file.getFullPathName().toRawUTF8());
            ++failures;
        }
    }
    // JUCE's caches (typefaces, glyphs) go before the process ends, as JUCE expects.
    juce::DeletedAtShutdown::deleteAll();
    return failures == 0 ? 0 : 1;
}
