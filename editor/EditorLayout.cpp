#include "editor/EditorLayout.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace EditorLayout
{
namespace
{
using S = Section;
using L = Look;
using P = LegendPlace;

// Knob control sizes are one filmstrip frame; the value labels are 40 x 14.
constexpr int kLabelW = 40, kLabelH = 14;

Rect knobRect(int x, int y, Look look)
{
    const KnobGeometry g = knobGeometry(look);
    return {x, y, g.frameWidth, g.frameHeight};
}

Control knob(const char* parameter, S section, L look, int x, int y, const char* legend)
{
    return {parameter, parameter, section, look, knobRect(x, y, look), legend, legend ? P::Above : P::None};
}

Control valueLabel(const char* id, const char* parameter, S section, bool lit, int x, int y)
{
    return {id, parameter, section, lit ? L::ValueLabelDark : L::ValueLabelLight, {x, y, kLabelW, kLabelH}, nullptr,
            P::None};
}

std::vector<Control> makeControls(Channels layout)
{
    std::vector<Control> c = {
        // Input and output gains, balance.
        knob("InputGain", S::Input, L::BrushedLarge, 31, 34, nullptr),
        valueLabel("InputGain.label", "InputGain", S::Input, false, 34, 104),
        knob("OutputGain", S::Output, L::BrushedLarge, 670, 34, nullptr),
        valueLabel("OutputGain.label", "OutputGain", S::Output, false, 673, 104),
        knob("Balance", S::Output, L::BrushedSmall, 677, 133, "BALANCE"),
        valueLabel("Balance.label", "Balance", S::Output, false, 674, 187),

        // The device: menu, arrows, picture, tuning, lamp.
        {"SIMType.menu", "SIMType", S::Sim, L::SimMenu, {125, 45, 130, 16}, nullptr, P::None},
        {"SIMType.next", "SIMType", S::Sim, L::StepUp, {246, 46, 10, 13}, nullptr, P::None},
        {"SIMType.previous", "SIMType", S::Sim, L::StepDown, {119, 46, 10, 13}, nullptr, P::None},
        {"SIMType.picture", "SIMType", S::Sim, L::Picture, {119, 60, 137, 96}, nullptr, P::None},
        {"SIMTuning", "SIMTuning", S::Sim, L::LongFader, {119, 158, 137, 5}, nullptr, P::None},
        valueLabel("SIMTuning.label", "SIMTuning", S::Sim, false, 200, 164),
        {"SIMEnable", "SIMEnable", S::Sim, L::EnableLamp, {121, 180, 19, 9}, "ON", P::Right},

        // Lo-fi.
        {"LoFiDownSampleIndex", "LoFiDownSampleIndex", S::LoFi, L::ShortFader, {266, 105, 67, 5}, "RATE", P::Below},
        {"LoFiFilter", "LoFiFilter", S::LoFi, L::ShortFader, {266, 130, 67, 5}, "FILTER", P::Below},
        {"LoFiBitDepthType", "LoFiBitDepthType", S::LoFi, L::ShortFader, {266, 155, 67, 5}, "BITS", P::Below},
        valueLabel("LoFiDownSampleIndex.label", "LoFiDownSampleIndex", S::LoFi, false, 296, 111),
        valueLabel("LoFiFilter.label", "LoFiFilter", S::LoFi, false, 296, 136),
        valueLabel("LoFiBitDepthType.label", "LoFiBitDepthType", S::LoFi, false, 296, 161),
        {"LoFiEnable", "LoFiEnable", S::LoFi, L::EnableLamp, {266, 180, 19, 9}, "ON", P::Right},

        // The two response plots.
        {"Plot.main", nullptr, S::Response, L::Plot, {357, 46, 210, 89}, nullptr, P::None},
        {"Plot.noise", nullptr, S::Response, L::Plot, {357, 150, 210, 41}, "NOISE FILTER", P::Above},

        // High-pass and low-pass filters.
        knob("FiltersHPFFreq", S::Filters, L::BrushedLarge, 49, 284, "FREQ"),
        knob("FiltersHPFQ", S::Filters, L::BrushedSmall, 113, 300, "Q"),
        knob("FiltersLPFFreq", S::Filters, L::BrushedLarge, 173, 284, "FREQ"),
        knob("FiltersLPFQ", S::Filters, L::BrushedSmall, 237, 300, "Q"),
        valueLabel("FiltersHPFFreq.label", "FiltersHPFFreq", S::Filters, true, 48, 354),
        valueLabel("FiltersHPFQ.label", "FiltersHPFQ", S::Filters, true, 110, 354),
        valueLabel("FiltersLPFFreq.label", "FiltersLPFFreq", S::Filters, true, 172, 354),
        valueLabel("FiltersLPFQ.label", "FiltersLPFQ", S::Filters, true, 234, 354),
        {"FiltersEnable", "FiltersEnable", S::Filters, L::EnableButton, {37, 371, 20, 12}, "ON", P::Right},
        {"FiltersHPFSlope.12", "FiltersHPFSlope", S::Filters, L::RadioButton, {102, 273, 28, 15}, "12", P::Inside},
        {"FiltersHPFSlope.24", "FiltersHPFSlope", S::Filters, L::RadioButton, {129, 273, 28, 15}, "24", P::Inside},
        {"FiltersLPFSlope.12", "FiltersLPFSlope", S::Filters, L::RadioButton, {225, 273, 28, 15}, "12", P::Inside},
        {"FiltersLPFSlope.24", "FiltersLPFSlope", S::Filters, L::RadioButton, {252, 273, 28, 15}, "24", P::Inside},

        // Distortion.
        knob("DistortionAmount", S::Distortion, L::KnurledLarge, 352, 286, "DRIVE"),
        {"DistortionAmount.meter", "DistortionAmount", S::Distortion, L::DistortionMeter, {304, 264, 38, 98}, nullptr,
         P::None},
        knob("DistortionIntensity", S::Distortion, L::KnurledSmall, 414, 303, "INTENSITY"),
        knob("DistortionRectify", S::Distortion, L::KnurledSmall, 462, 303, "RECTIFY"),
        {"DistortionMode", "DistortionMode", S::Distortion, L::ComboBox, {448, 275, 50, 15}, "MODE", P::Left},
        valueLabel("DistortionAmount.label", "DistortionAmount", S::Distortion, false, 352, 354),
        valueLabel("DistortionIntensity.label", "DistortionIntensity", S::Distortion, false, 411, 354),
        valueLabel("DistortionRectify.label", "DistortionRectify", S::Distortion, false, 459, 354),
        {"DistortionEnable", "DistortionEnable", S::Distortion, L::EnableButton, {308, 371, 20, 12}, "ON", P::Right},

        // EQ band.
        knob("EQFreq", S::Eq, L::BrushedLarge, 549, 284, "FREQ"),
        knob("EQQ", S::Eq, L::BrushedSmall, 613, 300, "Q"),
        knob("EQGain", S::Eq, L::BrushedSmall, 664, 300, "GAIN"),
        valueLabel("EQFreq.label", "EQFreq", S::Eq, true, 548, 354),
        valueLabel("EQQ.label", "EQQ", S::Eq, true, 610, 354),
        valueLabel("EQGain.label", "EQGain", S::Eq, true, 661, 354),
        {"EQEnable", "EQEnable", S::Eq, L::EnableButton, {536, 371, 20, 12}, "ON", P::Right},
        {"EQFilterType.HPF", "EQFilterType", S::Eq, L::RadioButton, {609, 273, 28, 15}, "HPF", P::Inside},
        {"EQFilterType.EQ", "EQFilterType", S::Eq, L::RadioButton, {637, 273, 28, 15}, "EQ", P::Inside},
        {"EQFilterType.LPF", "EQFilterType", S::Eq, L::RadioButton, {665, 273, 28, 15}, "LPF", P::Inside},

        // Noise generator.
        knob("NoiseLevel", S::Noise, L::RidgeLarge, 51, 431, "LEVEL"),
        knob("NoiseHPFFreq", S::Noise, L::RidgeSmall, 122, 455, "HPF"),
        knob("NoiseLPFFreq", S::Noise, L::RidgeSmall, 172, 455, "LPF"),
        knob("NoiseThresh", S::Noise, L::RidgeLarge, 235, 431, "DUCK"),
        knob("NoiseRange", S::Noise, L::RidgeSmall, 306, 455, "RANGE"),
        knob("NoiseRecovery", S::Noise, L::RidgeSmall, 356, 455, "RECOVER"),
        valueLabel("NoiseLevel.label", "NoiseLevel", S::Noise, true, 50, 504),
        valueLabel("NoiseHPFFreq.label", "NoiseHPFFreq", S::Noise, true, 119, 504),
        valueLabel("NoiseLPFFreq.label", "NoiseLPFFreq", S::Noise, true, 169, 504),
        valueLabel("NoiseThresh.label", "NoiseThresh", S::Noise, true, 234, 504),
        valueLabel("NoiseRange.label", "NoiseRange", S::Noise, true, 303, 504),
        valueLabel("NoiseRecovery.label", "NoiseRecovery", S::Noise, true, 353, 504),
        {"NoiseEnable", "NoiseEnable", S::Noise, L::EnableButton, {38, 522, 20, 12}, "ON", P::Right},
        {"NoiseLevel.display", nullptr, S::Noise, L::NoiseDisplay, {124, 421, 75, 16}, nullptr, P::None},

        // Gate.
        knob("GateThreshold", S::Gate, L::BrushedLarge, 442, 434, "THRESHOLD"),
        knob("GateRange", S::Gate, L::BrushedSmall, 505, 450, "RANGE"),
        knob("GateAttackTime", S::Gate, L::BrushedSmall, 557, 450, "ATTACK"),
        knob("GateHoldTime", S::Gate, L::BrushedSmall, 610, 450, "HOLD"),
        knob("GateReleaseTime", S::Gate, L::BrushedSmall, 662, 450, "RELEASE"),
        valueLabel("GateThreshold.label", "GateThreshold", S::Gate, false, 441, 504),
        valueLabel("GateRange.label", "GateRange", S::Gate, false, 502, 504),
        valueLabel("GateAttackTime.label", "GateAttackTime", S::Gate, false, 553, 504),
        valueLabel("GateHoldTime.label", "GateHoldTime", S::Gate, false, 607, 504),
        valueLabel("GateReleaseTime.label", "GateReleaseTime", S::Gate, false, 659, 504),
        {"GateEnable", "GateEnable", S::Gate, L::EnableButton, {434, 522, 20, 12}, "ON", P::Right},
    };

    // Meters: two channels side by side (stereo) or one wider meter (mono).
    if (layout == Channels::Stereo)
    {
        const Control stereo[] = {
            {"InputMeter.0", nullptr, S::Levels, L::BarMeter, {584, 49, 12, 135}, nullptr, P::None},
            {"InputMeter.1", nullptr, S::Levels, L::BarMeter, {595, 49, 12, 135}, nullptr, P::None},
            {"InputClip.0", nullptr, S::Levels, L::ClipLight, {584, 30, 12, 19}, nullptr, P::None},
            {"InputClip.1", nullptr, S::Levels, L::ClipLight, {595, 30, 12, 19}, nullptr, P::None},
            {"OutputMeter.0", nullptr, S::Levels, L::BarMeter, {608, 49, 12, 135}, nullptr, P::None},
            {"OutputMeter.1", nullptr, S::Levels, L::BarMeter, {619, 49, 12, 135}, nullptr, P::None},
            {"OutputClip.0", nullptr, S::Levels, L::ClipLight, {608, 30, 12, 19}, nullptr, P::None},
            {"OutputClip.1", nullptr, S::Levels, L::ClipLight, {619, 30, 12, 19}, nullptr, P::None},
            {"DuckInputMeter.0", nullptr, S::Noise, L::DuckMeter, {321, 417, 66, 4}, nullptr, P::None},
            {"DuckInputMeter.1", nullptr, S::Noise, L::DuckMeter, {321, 422, 66, 4}, nullptr, P::None},
            {"DuckGainMeter.0", nullptr, S::Noise, L::DuckMeter, {321, 428, 66, 4}, nullptr, P::None},
            {"DuckGainMeter.1", nullptr, S::Noise, L::DuckMeter, {321, 433, 66, 4}, nullptr, P::None},
            {"GateInputMeter.0", nullptr, S::Gate, L::GateMeter, {520, 417, 158, 4}, nullptr, P::None},
            {"GateInputMeter.1", nullptr, S::Gate, L::GateMeter, {520, 422, 158, 4}, nullptr, P::None},
            {"GateGainMeter.0", nullptr, S::Gate, L::GateMeter, {520, 428, 158, 4}, nullptr, P::None},
            {"GateGainMeter.1", nullptr, S::Gate, L::GateMeter, {520, 433, 158, 4}, nullptr, P::None},
        };
        c.insert(c.end(), std::begin(stereo), std::end(stereo));
    }
    else
    {
        const Control mono[] = {
            {"InputMeter.0", nullptr, S::Levels, L::BarMeter, {595, 49, 13, 135}, nullptr, P::None},
            {"InputClip.0", nullptr, S::Levels, L::ClipLight, {595, 30, 13, 19}, nullptr, P::None},
            {"OutputMeter.0", nullptr, S::Levels, L::BarMeter, {611, 49, 13, 135}, nullptr, P::None},
            {"OutputClip.0", nullptr, S::Levels, L::ClipLight, {611, 30, 13, 19}, nullptr, P::None},
            {"DuckInputMeter.0", nullptr, S::Noise, L::DuckMeter, {321, 417, 66, 9}, nullptr, P::None},
            {"DuckGainMeter.0", nullptr, S::Noise, L::DuckMeter, {321, 428, 66, 9}, nullptr, P::None},
            {"GateInputMeter.0", nullptr, S::Gate, L::GateMeter, {520, 417, 158, 9}, nullptr, P::None},
            {"GateGainMeter.0", nullptr, S::Gate, L::GateMeter, {520, 428, 158, 9}, nullptr, P::None},
        };
        c.insert(c.end(), std::begin(mono), std::end(mono));
    }
    return c;
}

const std::vector<Panel> kPanels = {
    {S::Input, "INPUT", {16, 14, 90, 112}},
    {S::Sim, "DEVICE", {110, 14, 152, 184}},
    {S::LoFi, "LO-FI", {264, 14, 84, 184}},
    {S::Response, "RESPONSE", {352, 14, 221, 184}},
    {S::Levels, "LEVEL", {577, 14, 62, 184}},
    {S::Output, "OUTPUT", {643, 14, 90, 190}},
    {S::Filters, "FILTERS", {16, 214, 278, 176}},
    {S::Distortion, "DISTORTION", {298, 214, 231, 176}},
    {S::Eq, "EQ", {533, 214, 200, 176}},
    {S::Noise, "NOISE", {16, 396, 396, 146}},
    {S::Gate, "GATE", {416, 396, 317, 146}},
};

// Legends that name a group of controls rather than one.
const Legend kGroupLegends[] = {
    {"HIGH PASS", {40, 252, 118, 11}, S::Filters},
    {"LOW PASS", {164, 252, 118, 11}, S::Filters},
    {"TYPE", {609, 252, 84, 11}, S::Eq},
    {"IN", {390, 417, 20, 9}, S::Noise},
    {"GR", {390, 428, 20, 9}, S::Noise},
    {"IN", {681, 417, 20, 9}, S::Gate},
    {"GR", {681, 428, 20, 9}, S::Gate},
    {"TUNING", {121, 166, 70, 11}, S::Sim},
};

constexpr int kLegendHeight = 11;
constexpr int kLegendMinWidth = 40;

Legend placeLegend(const Control& control)
{
    const Rect visible = visibleBounds(control);
    switch (control.legendPlace)
    {
    case P::Above:
    {
        // Wide enough for the text at the legend size, no wider: neighbours sit close.
        const int w = std::max(kLegendMinWidth, 6 * static_cast<int>(std::strlen(control.legend)));
        return {control.legend, {visible.x + visible.w / 2 - w / 2, visible.y - kLegendHeight - 1, w, kLegendHeight},
                control.section};
    }
    case P::Below:
        return {control.legend, {control.bounds.x, control.bounds.bottom() + 2, 29, kLegendHeight + 1}, control.section};
    case P::Right:
        return {control.legend, {control.bounds.right() + 4, control.bounds.y + (control.bounds.h - kLegendHeight) / 2,
                                 30, kLegendHeight},
                control.section};
    case P::Left:
        return {control.legend, {control.bounds.x - 36, control.bounds.y + (control.bounds.h - kLegendHeight) / 2, 33,
                                 kLegendHeight},
                control.section};
    case P::Inside:
    case P::None:
        break;
    }
    return {control.legend, control.bounds, control.section, true};
}
} // namespace

KnobGeometry knobGeometry(Look look)
{
    switch (look)
    {
    case L::BrushedLarge: return {62, 64, 31.0f, 31.0f, 24.0f};
    case L::BrushedSmall: return {48, 44, 24.0f, 21.5f, 17.0f};
    case L::KnurledLarge: return {55, 64, 27.5f, 31.0f, 23.0f};
    case L::KnurledSmall: return {45, 43, 22.5f, 21.0f, 16.5f};
    case L::RidgeLarge: return {61, 74, 30.5f, 36.0f, 25.0f};
    case L::RidgeSmall: return {42, 42, 21.0f, 20.5f, 15.0f};
    default: return {0, 0, 0.0f, 0.0f, 0.0f};
    }
}

Rect visibleBounds(const Control& control)
{
    const KnobGeometry g = knobGeometry(control.look);
    const Rect& b = control.bounds;
    // Neighbouring radio buttons and the stereo meters' channels share their edge pixel
    // column, which their images leave clear.
    if (control.look == L::RadioButton)
        return {b.x, b.y, b.w - 1, b.h};
    if ((control.look == L::BarMeter || control.look == L::ClipLight) && b.h > b.w)
        return {b.x + 1, b.y, b.w - 2, b.h};
    if (g.frameWidth == 0)
        return b;
    const int r = static_cast<int>(g.radius + 1.0f);
    return {control.bounds.x + static_cast<int>(g.centreX) - r, control.bounds.y + static_cast<int>(g.centreY) - r,
            2 * r, 2 * r};
}

const std::vector<Control>& controls(Channels layout)
{
    static const std::vector<Control> stereo = makeControls(Channels::Stereo);
    static const std::vector<Control> mono = makeControls(Channels::Mono);
    return layout == Channels::Stereo ? stereo : mono;
}

const std::vector<Panel>& panels() { return kPanels; }

const Panel* panelOf(Section section)
{
    for (const Panel& panel : kPanels)
        if (panel.section == section)
            return &panel;
    return nullptr;
}

const Control* findControl(const char* id, Channels layout)
{
    for (const Control& control : controls(layout))
        if (std::strcmp(control.id, id) == 0)
            return &control;
    return nullptr;
}

std::vector<Legend> legends(Channels layout)
{
    std::vector<Legend> result;
    for (const Control& control : controls(layout))
        if (control.legend != nullptr)
            result.push_back(placeLegend(control));
    result.insert(result.end(), std::begin(kGroupLegends), std::end(kGroupLegends));
    // "IN" and "OUT" under the level meters, centred on one meter or on a stereo pair.
    for (const auto& [prefix, text] : {std::pair{"InputMeter.", "IN"}, std::pair{"OutputMeter.", "OUT"}})
    {
        int left = kCanvasWidth, right = 0, bottom = 0;
        for (const Control& control : controls(layout))
            if (std::strncmp(control.id, prefix, std::strlen(prefix)) == 0)
            {
                left = std::min(left, control.bounds.x);
                right = std::max(right, control.bounds.right());
                bottom = std::max(bottom, control.bounds.bottom());
            }
        const int centre = (left + right) / 2;
        result.push_back({text, {centre - 11, bottom + 2, 22, 10}, S::Levels});
    }
    return result;
}
} // namespace EditorLayout
