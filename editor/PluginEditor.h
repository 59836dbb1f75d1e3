// The effect's editor: a fixed 749 x 565 canvas painted with a background picture, every
// control bound to its parameter through the editor base and placed from the layout table,
// the SIM browser, the two response plots and the meters.
//
// Store to screen: a 30 ms timer re-reads every control from the store whenever the base's
// refresh-pending flag is set (a control was moved, or the host reported a change), then
// advances the meters. Meter records may arrive on any thread: monitorDataReceived only
// folds them into lock-free levels, and the timer tick takes those on the message thread.
#pragma once

#include "ZQ/QuarlPlugin.h"
#include "editor/EditorMetering.h"
#include "editor/Freq_Plot_Crumlet.h"
#include "editor/MeterRecordFold.h"
#include "widgets/AudioProcessorEditor_Orvex.h"
#include "widgets/LookAndFeel_Orvex.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The host's monitor data block: its data points at a meter record.
using MonitorBlock = ZQ::Quarl::MonitorEntry;

class PluginEditor : public AudioProcessorEditor_Orvex
{
public:
    static constexpr int kRefreshIntervalMs = 30;

    // `store` is the plugin object, which outlives the editor.
    PluginEditor(AudioProcessor* store, float displayScale);
    ~PluginEditor() override;

    void paint(juce::Graphics& g) override;
    // The refresh (when pending), then the meters.
    void timerCallback() override;
    void updateMeters() override;
    // The two lo-fi labels take typed values by their list texts; the others as the base does.
    void labelTextChanged(juce::Label* label) override;

    // Any thread (the host's monitor delivery): folds the record in for the next tick,
    // without locking, allocating or waiting. A null block is ignored.
    void monitorDataReceived(const MonitorBlock* block, bool byteSwap);

    // The control placed for a layout id ("EQFreq", "EQFreq.label", "SIMType.menu",
    // "FiltersHPFSlope.24", "Plot.main", "SIMType.picture"); null for an unknown id.
    juce::Component* findControl(const std::string& layoutId) const;
    EditorMetering& metering() { return *m_metering; }
    const MeterRecordFold& meterRecords() const { return m_meterRecords; }
    Freq_Plot_Crumlet& mainPlot() { return m_mainPlot; }
    Freq_Plot_Crumlet& noisePlot() { return m_noisePlot; }
    // Refreshes that ran (a tick with refresh pending), for tests and benchmarks.
    int refreshCount() const { return m_refreshCount; }

private:
    enum class Kind { Slider, Label, Toggle, ListBox, SimMenu, Radio };
    struct Binding
    {
        juce::Component* control;
        ParameterId id;
        Kind kind;
        int position; // a radio button's value
    };

    void setUpLooks();
    void addControls();
    void addRadioButton(const char* layoutId, ParameterId id, int position, int group, const juce::Image& lit);
    void addSimMenu(const juce::Rectangle<int>& bounds);
    void addPlots();
    void refresh();
    void refreshPlots();
    void refreshSimPicture();
    void place(const std::string& layoutId, juce::Component* control);

    // The looks, in the order of EditorLayout::Look's first ten entries; declared before
    // the controls so that they outlive them.
    static constexpr int kLooks = 10;
    std::array<LookAndFeel_Orvex, kLooks> m_looks;

    std::vector<std::unique_ptr<juce::Component>> m_controls;
    std::vector<Binding> m_bindings; // in refresh order: by section as the layout lists them
    std::map<std::string, juce::Component*> m_byId;

    std::unique_ptr<EditorMetering> m_metering;
    Freq_Plot_Crumlet m_mainPlot;
    Freq_Plot_Crumlet m_noisePlot;
    juce::ImageComponent m_simPicture;
    juce::Image m_simStrip;
    int m_shownDevice = -1;

    MeterRecordFold m_meterRecords;
    int m_refreshCount = 0;
};
