// The editor's meters: input and output bars with clip lights, the ducking and gate meters
// and the noise level display, the levels they read, and the switch between the stereo
// and mono layouts that follows the channel count of the meter records.
//
// On the message thread only, at the timer tick: take() moves what the meter records have
// folded into since the previous tick into the levels and switches the layout; advance()
// moves every meter one step and rests the levels for the next tick.
#pragma once

#include "editor/MeterLevels.h"
#include "editor/MeterRecordFold.h"
#include "widgets/BarMeter.h"
#include "widgets/ClipIndicator.h"
#include "widgets/VUMeter.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

class EditorMetering
{
public:
    using Levels = MeterLevels::Channels;

    // Builds the meters as children of `editor`, in the stereo layout.
    explicit EditorMetering(juce::Component& editor);

    // Takes what `records` has folded since the previous take into the levels; switches the
    // layout (and repaints the editor) when the latest record's channel count moves between
    // 2 and any other count.
    void take(MeterRecordFold& records);
    // Advances every meter one step, then rests the levels.
    void advance();

    bool isMono() const { return m_mono; }
    // The background of the layout shown.
    const juce::Image& background() const { return m_mono ? m_monoBackground : m_stereoBackground; }

    // What the meters read, for the tests.
    const Levels& inputPeak() const { return m_levels.channels[MeterLevels::InputPeak]; }
    const Levels& outputPeak() const { return m_levels.channels[MeterLevels::OutputPeak]; }
    const Levels& duckInput() const { return m_levels.channels[MeterLevels::DuckInput]; }
    const Levels& duckGain() const { return m_levels.channels[MeterLevels::DuckGain]; }
    const Levels& gateInput() const { return m_levels.channels[MeterLevels::GateInput]; }
    const Levels& gateGain() const { return m_levels.channels[MeterLevels::GateGain]; }
    double noiseLevel() const { return m_levels.noiseLevel; }

    enum List { InputBars, InputClips, OutputBars, OutputClips, DuckInputs, DuckGains, GateInputs, GateGains };
    static constexpr int kLists = 8;
    // Meter `channel` (0 or 1) of a list.
    juce::Component* meter(List list, int channel) const;
    VUMeter* noiseDisplay() const { return m_noiseDisplay.get(); }

private:
    void setLayout(bool mono);

    juce::Component& m_editor;
    MeterLevels m_levels; // the meters hold pointers to its elements

    juce::OwnedArray<BarMeter> m_inputBars, m_outputBars, m_duckInputs, m_duckGains, m_gateInputs, m_gateGains;
    juce::OwnedArray<ClipIndicator> m_inputClips, m_outputClips;
    std::unique_ptr<VUMeter> m_noiseDisplay;

    juce::Image m_stereoBackground, m_monoBackground;
    // Each duck and gate list's image in either layout, decoded once: the layout follows
    // the records' channel count and may switch at any tick.
    std::array<std::array<juce::Image, 2>, kLists> m_layoutImages;
    bool m_mono = false;
};
