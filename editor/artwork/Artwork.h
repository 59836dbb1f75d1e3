// The editor's images: PNG files compiled into the module as byte arrays, decoded on use.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace Artwork
{
// One array and its byte count per image, under the image's name.
extern const char* const Crumlet_Stereo_png;
extern const int Crumlet_Stereo_pngSize;
extern const char* const Crumlet_Mono_png;
extern const int Crumlet_Mono_pngSize;
extern const char* const Knobs_Brushed_large_png;
extern const int Knobs_Brushed_large_pngSize;
extern const char* const Knobs_Brushed_small_png;
extern const int Knobs_Brushed_small_pngSize;
extern const char* const Knobs_Knurled_large_png;
extern const int Knobs_Knurled_large_pngSize;
extern const char* const Knobs_Knurled_small_png;
extern const int Knobs_Knurled_small_pngSize;
extern const char* const Knobs_Ridge_large_png;
extern const int Knobs_Ridge_large_pngSize;
extern const char* const Knobs_Ridge_small_png;
extern const int Knobs_Ridge_small_pngSize;
extern const char* const DistortionMeter_png;
extern const int DistortionMeter_pngSize;
extern const char* const Band_Fader_Fill_png;
extern const int Band_Fader_Fill_pngSize;
extern const char* const Band_Fader_Cap_png;
extern const int Band_Fader_Cap_pngSize;
extern const char* const SIM_Strip_r1_png;
extern const int SIM_Strip_r1_pngSize;
extern const char* const SIM_Increment_Button_png;
extern const int SIM_Increment_Button_pngSize;
extern const char* const SIM_Increment_Button_pressed_png;
extern const int SIM_Increment_Button_pressed_pngSize;
extern const char* const SIM_Decrement_Button_png;
extern const int SIM_Decrement_Button_pngSize;
extern const char* const SIM_Decrement_Button_pressed_png;
extern const int SIM_Decrement_Button_pressed_pngSize;
extern const char* const Enable_LED_on_png;
extern const int Enable_LED_on_pngSize;
extern const char* const Enable_on_png;
extern const int Enable_on_pngSize;
extern const char* const _12dB_Button_on_png;
extern const int _12dB_Button_on_pngSize;
extern const char* const _24dB_Button_on_png;
extern const int _24dB_Button_on_pngSize;
extern const char* const HPF_Button_on_png;
extern const int HPF_Button_on_pngSize;
extern const char* const EQ_Button_on_png;
extern const int EQ_Button_on_pngSize;
extern const char* const LPF_Button_on_png;
extern const int LPF_Button_on_pngSize;
extern const char* const Meter_IO_thinner_png;
extern const int Meter_IO_thinner_pngSize;
extern const char* const ClipIndicator_thinner_png;
extern const int ClipIndicator_thinner_pngSize;
extern const char* const Meter_Duck_Input_stereo_png;
extern const int Meter_Duck_Input_stereo_pngSize;
extern const char* const Meter_Duck_Input_mono_png;
extern const int Meter_Duck_Input_mono_pngSize;
extern const char* const Meter_Duck_GainReduction_stereo_png;
extern const int Meter_Duck_GainReduction_stereo_pngSize;
extern const char* const Meter_Duck_GainReduction_mono_png;
extern const int Meter_Duck_GainReduction_mono_pngSize;
extern const char* const Meter_Gate_Input_stereo_png;
extern const int Meter_Gate_Input_stereo_pngSize;
extern const char* const Meter_Gate_Input_mono_png;
extern const int Meter_Gate_Input_mono_pngSize;
extern const char* const Meter_Gate_GainReduction_stereo_png;
extern const int Meter_Gate_GainReduction_stereo_pngSize;
extern const char* const Meter_Gate_GainReduction_mono_png;
extern const int Meter_Gate_GainReduction_mono_pngSize;
extern const char* const Noise_Visualizer_Filmstrip_png;
extern const int Noise_Visualizer_Filmstrip_pngSize;

// Every embedded image, in catalogue order.
struct Entry
{
    const char* name; // "Knobs_Brushed_large_png"
    const char* data;
    int size;
};
const Entry* begin();
const Entry* end();

// Decodes a PNG held in memory; a null array or fewer than 5 bytes give a null image.
juce::Image decode(const char* data, int size);

// Decodes the embedded image of that name; an unknown name gives a null image.
juce::Image decodeNamed(const juce::String& name);
} // namespace Artwork
