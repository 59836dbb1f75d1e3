#include "editor/EditorMetering.h"

#include "editor/EditorLayout.h"
#include "editor/artwork/Artwork.h"

#include <algorithm>

namespace
{
using EditorLayout::Channels;

// One meter list: the layout's id prefix, its images in each layout, its steps.
struct MeterListKind
{
    const char* id;          // "InputMeter" -> "InputMeter.0", "InputMeter.1"
    const char* stereoImage;
    const char* monoImage;   // the image channel 0 takes in the mono layout
    int segments;            // 0 for the clip lights
    bool inverted;
};

constexpr MeterListKind kMeterListKinds[EditorMetering::kLists] = {
    {"InputMeter", "Meter_IO_thinner_png", "Meter_IO_thinner_png", 135, false},
    {"InputClip", "ClipIndicator_thinner_png", "ClipIndicator_thinner_png", 0, false},
    {"OutputMeter", "Meter_IO_thinner_png", "Meter_IO_thinner_png", 135, false},
    {"OutputClip", "ClipIndicator_thinner_png", "ClipIndicator_thinner_png", 0, false},
    {"DuckInputMeter", "Meter_Duck_Input_stereo_png", "Meter_Duck_Input_mono_png", 66, false},
    {"DuckGainMeter", "Meter_Duck_GainReduction_stereo_png", "Meter_Duck_GainReduction_mono_png", 66, true},
    {"GateInputMeter", "Meter_Gate_Input_stereo_png", "Meter_Gate_Input_mono_png", 135, false},
    {"GateGainMeter", "Meter_Gate_GainReduction_stereo_png", "Meter_Gate_GainReduction_mono_png", 158, true},
};

juce::Rectangle<int> boundsOf(const char* list, int channel, Channels layout)
{
    const juce::String id = juce::String(list) + "." + juce::String(channel);
    const EditorLayout::Control* control = EditorLayout::findControl(id.toRawUTF8(), layout);
    jassert(control != nullptr);
    return control != nullptr ? juce::Rectangle<int>(control->bounds.x, control->bounds.y, control->bounds.w,
                                                      control->bounds.h)
                              : juce::Rectangle<int>();
}
} // namespace

EditorMetering::EditorMetering(juce::Component& editor) : m_editor(editor)
{
    using K = MeterLevels::Kind;
    const std::array<K, kLists> sources = {K::InputPeak, K::InputPeak, K::OutputPeak, K::OutputPeak,
                                           K::DuckInput, K::DuckGain,  K::GateInput,  K::GateGain};
    // Input then output, each channel's bar before its clip light; then the duck and gate
    // meters, channel 0 then channel 1 of each list.
    auto make = [&](int list, int channel) {
        const MeterListKind& kind = kMeterListKinds[list];
        double* source = &m_levels.channels[sources[static_cast<std::size_t>(list)]][static_cast<std::size_t>(channel)];
        const juce::Image image = Artwork::decodeNamed(kind.stereoImage);
        if (list >= DuckInputs && channel == 0)
            m_layoutImages[static_cast<std::size_t>(list)] = {image, Artwork::decodeNamed(kind.monoImage)};
        juce::Component* made = nullptr;
        if (kind.segments == 0)
        {
            auto* clip = (list == InputClips ? m_inputClips : m_outputClips).add(new ClipIndicator(source));
            clip->setImage(image);
            made = clip;
        }
        else
        {
            juce::OwnedArray<BarMeter>* bars[] = {&m_inputBars, nullptr, &m_outputBars, nullptr,
                                                  &m_duckInputs, &m_duckGains, &m_gateInputs, &m_gateGains};
            auto* bar = bars[list]->add(new BarMeter(source));
            bar->setImage(image);
            bar->setSegments(kind.segments, 0, 0);
            bar->setInverted(kind.inverted);
            made = bar;
        }
        made->setBounds(boundsOf(kind.id, channel, Channels::Stereo));
        m_editor.addAndMakeVisible(made);
    };
    for (int list : {InputBars, OutputBars})
        for (int channel = 0; channel < 2; ++channel)
        {
            make(list, channel);
            make(list + 1, channel);
        }
    for (int list : {DuckInputs, DuckGains, GateInputs, GateGains})
        for (int channel = 0; channel < 2; ++channel)
            make(list, channel);

    m_noiseDisplay = std::make_unique<VUMeter>(&m_levels.noiseLevel);
    m_noiseDisplay->setImage(Artwork::decodeNamed("Noise_Visualizer_Filmstrip_png"), 110);
    const EditorLayout::Control* display = EditorLayout::findControl("NoiseLevel.display");
    m_noiseDisplay->setBounds(display->bounds.x, display->bounds.y, display->bounds.w, display->bounds.h);
    m_editor.addAndMakeVisible(m_noiseDisplay.get());

    m_stereoBackground = Artwork::decodeNamed("Crumlet_Stereo_png");
    m_monoBackground = Artwork::decodeNamed("Crumlet_Mono_png");
}

juce::Component* EditorMetering::meter(List list, int channel) const
{
    switch (list)
    {
    case InputBars: return m_inputBars[channel];
    case InputClips: return m_inputClips[channel];
    case OutputBars: return m_outputBars[channel];
    case OutputClips: return m_outputClips[channel];
    case DuckInputs: return m_duckInputs[channel];
    case DuckGains: return m_duckGains[channel];
    case GateInputs: return m_gateInputs[channel];
    case GateGains: return m_gateGains[channel];
    }
    return nullptr;
}

void EditorMetering::take(MeterRecordFold& records)
{
    const std::int64_t channels = records.takeInto(m_levels);
    if (channels == MeterRecordFold::kNoRecord)
        return;
    const bool mono = channels != 2;
    if (mono != m_mono)
    {
        setLayout(mono);
        m_editor.repaint();
    }
}

void EditorMetering::advance()
{
    for (int channel = 0; channel < 2; ++channel)
    {
        m_inputBars[channel]->timerCallback();
        m_inputClips[channel]->timerCallback();
        m_outputBars[channel]->timerCallback();
        m_outputClips[channel]->timerCallback();
        m_duckInputs[channel]->timerCallback();
        m_duckGains[channel]->timerCallback();
        m_gateInputs[channel]->timerCallback();
        m_gateGains[channel]->timerCallback();
    }
    m_noiseDisplay->timerCallback();
    m_levels.rest();
}

void EditorMetering::setLayout(bool mono)
{
    m_mono = mono;
    const Channels layout = mono ? Channels::Mono : Channels::Stereo;
    for (int list = 0; list < kLists; ++list)
    {
        const MeterListKind& kind = kMeterListKinds[list];
        meter(static_cast<List>(list), 0)->setBounds(boundsOf(kind.id, 0, layout));
        meter(static_cast<List>(list), 1)->setVisible(!mono);
        if (list >= DuckInputs)
            static_cast<BarMeter*>(meter(static_cast<List>(list), 0))
                ->setImage(m_layoutImages[static_cast<std::size_t>(list)][mono ? 1 : 0]);
    }
}
