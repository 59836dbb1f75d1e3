// The editor's meters: input and output bars with clip lights, the ducking and gate meters
// and the noise level display, the accumulators they read, and the switch between the
// stereo and mono layouts that follows the channel count of the meter records.
//
// Records are taken on the message thread only (from the hand-over queue, at the timer
// tick): accumulate() folds a record into the accumulators and switches the layout;
// advance() moves every meter one step and empties the accumulators for the next tick.
#pragma once

#include "editor/MeterRecordQueue.h"
#include "widgets/BarMeter.h"
#include "widgets/ClipIndicator.h"
#include "widgets/VUMeter.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

class EditorMetering
{
public:
    static constexpr std::size_t kChannels = MeterRecord::kMaxChannels;
    using Levels = std::array<double, kChannels>;

    // Builds the meters as children of `editor`, in the stereo layout.
    explicit EditorMetering(juce::Component& editor);

    // Folds one record into the accumulators; switches the layout (and repaints the
    // editor) when the record's channel count moves between 2 and any other count.
    void accumulate(const MeterRecord& record);
    // Advances every meter one step, then rests the accumulators.
    void advance();

    bool isMono() const { return m_mono; }
    // The background of the layout shown.
    const juce::Image& background() const { return m_mono ? m_monoBackground : m_stereoBackground; }

    // What the meters read, for the tests.
    const Levels& inputPeak() const { return m_inputPeak; }
    const Levels& outputPeak() const { return m_outputPeak; }
    const Levels& duckInput() const { return m_duckInput; }
    const Levels& duckGain() const { return m_duckGain; }
    const Levels& gateInput() const { return m_gateInput; }
    const Levels& gateGain() const { return m_gateGain; }
    double noiseLevel() const { return m_noiseLevel; }

    enum List { InputBars, InputClips, OutputBars, OutputClips, DuckInputs, DuckGains, GateInputs, GateGains };
    static constexpr int kLists = 8;
    // Meter `channel` (0 or 1) of a list.
    juce::Component* meter(List list, int channel) const;
    VUMeter* noiseDisplay() const { return m_noiseDisplay.get(); }

private:
    void rest();
    void setLayout(bool mono);

    juce::Component& m_editor;
    Levels m_inputPeak{}, m_outputPeak{}, m_duckInput{}, m_duckGain{}, m_gateInput{}, m_gateGain{};
    double m_noiseLevel = 0.0;

    juce::OwnedArray<BarMeter> m_inputBars, m_outputBars, m_duckInputs, m_duckGains, m_gateInputs, m_gateGains;
    juce::OwnedArray<ClipIndicator> m_inputClips, m_outputClips;
    std::unique_ptr<VUMeter> m_noiseDisplay;

    juce::Image m_stereoBackground, m_monoBackground;
    // Each duck and gate list's image in either layout, decoded once: the layout follows
    // the records' channel count and may switch at any tick.
    std::array<std::array<juce::Image, 2>, kLists> m_layoutImages;
    bool m_mono = false;
};
