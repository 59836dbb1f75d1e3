// The product's editor in the DAW's window: the same PluginEditor the host shows, over the
// same store (the plugin object), whose property set is here the DAW's parameters. Its
// meters take the engine's meter records from the processor's lock-free fold, on the
// message thread at each tick; the audio thread never reaches the editor.
#pragma once

#include "editor/PluginEditor.h"
#include "host/OrvexCrumletPlugin.h"
#include "plugins/juce/ParameterPropertySet.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

class CrumletDawProcessor;

class CrumletDawEditor final : public juce::AudioProcessorEditor, private juce::Timer
{
public:
    explicit CrumletDawEditor(CrumletDawProcessor& processor);
    ~CrumletDawEditor() override;

    PluginEditor& editor() { return *m_editor; }
    // When the DAW changed a parameter since the last look, the editor rereads the store at
    // its next tick. The timer calls it; tests may too.
    void followParameters();
    // Takes the meter records the processor folded since the last take into the meters,
    // which move at the editor's next tick. The timer calls it; tests may too.
    void takeMeterRecords();

private:
    void timerCallback() override;

    CrumletDawProcessor& m_processor;
    ParameterPropertySet m_properties;
    OrvexCrumletPlugin m_store;
    std::unique_ptr<PluginEditor> m_editor;
};
