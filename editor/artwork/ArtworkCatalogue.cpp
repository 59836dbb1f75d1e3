#include "editor/artwork/ArtworkCatalogue.h"

#include "params/DeviceTable.h"

#include <iterator>

namespace Artwork
{
namespace
{
constexpr bool RGB = true;
constexpr bool RGBA = false;

const ImageSpec kCatalogue[] = {
    {"Crumlet_Stereo_png", 749, 565, RGB, 1},
    {"Crumlet_Mono_png", 749, 565, RGB, 1},
    {"Knobs_Brushed_large_png", 3782, 64, RGBA, 61},
    {"Knobs_Brushed_small_png", 2928, 44, RGBA, 61},
    {"Knobs_Knurled_large_png", 3355, 64, RGBA, 61},
    {"Knobs_Knurled_small_png", 2745, 43, RGBA, 61},
    {"Knobs_Ridge_large_png", 3721, 74, RGBA, 61},
    {"Knobs_Ridge_small_png", 2562, 42, RGBA, 61},
    {"DistortionMeter_png", 380, 98, RGB, 10},
    {"Band_Fader_Fill_png", 140, 6, RGBA, 1},
    {"Band_Fader_Cap_png", 10, 6, RGBA, 1},
    {"SIM_Strip_r1_png", 22468, 96, RGB, kDeviceCount}, // frame k shows device k
    {"SIM_Increment_Button_png", 10, 13, RGB, 1},
    {"SIM_Increment_Button_pressed_png", 10, 13, RGB, 1},
    {"SIM_Decrement_Button_png", 10, 13, RGB, 1},
    {"SIM_Decrement_Button_pressed_png", 10, 13, RGB, 1},
    {"Enable_LED_on_png", 19, 9, RGBA, 1},
    {"Enable_on_png", 20, 12, RGBA, 1},
    {"_12dB_Button_on_png", 28, 15, RGBA, 1},
    {"_24dB_Button_on_png", 28, 15, RGBA, 1},
    {"HPF_Button_on_png", 28, 15, RGBA, 1},
    {"EQ_Button_on_png", 28, 15, RGBA, 1},
    {"LPF_Button_on_png", 27, 15, RGBA, 1},
    {"Meter_IO_thinner_png", 12, 136, RGBA, 1},
    {"ClipIndicator_thinner_png", 12, 19, RGBA, 1},
    {"Meter_Duck_Input_stereo_png", 66, 4, RGBA, 1},
    {"Meter_Duck_Input_mono_png", 66, 9, RGBA, 1},
    {"Meter_Duck_GainReduction_stereo_png", 66, 4, RGBA, 1},
    {"Meter_Duck_GainReduction_mono_png", 66, 9, RGBA, 1},
    {"Meter_Gate_Input_stereo_png", 158, 4, RGBA, 1},
    {"Meter_Gate_Input_mono_png", 158, 9, RGBA, 1},
    {"Meter_Gate_GainReduction_stereo_png", 158, 4, RGBA, 1},
    {"Meter_Gate_GainReduction_mono_png", 158, 9, RGBA, 1},
    {"Noise_Visualizer_Filmstrip_png", 75, 1760, RGBA, 110},
};
} // namespace

std::string ImageSpec::fileName() const
{
    std::string file = name;
    return file.substr(0, file.size() - 4) + ".png";
}

const ImageSpec* catalogueBegin() { return std::begin(kCatalogue); }
const ImageSpec* catalogueEnd() { return std::end(kCatalogue); }
int catalogueSize() { return static_cast<int>(std::size(kCatalogue)); }

const ImageSpec* findImageSpec(const std::string& name)
{
    for (const ImageSpec& spec : kCatalogue)
        if (name == spec.name)
            return &spec;
    return nullptr;
}
} // namespace Artwork
