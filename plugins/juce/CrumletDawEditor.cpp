#include "plugins/juce/CrumletDawEditor.h"

#include "plugins/juce/CrumletDawProcessor.h"
#include "widgets/JuceCount_Quarl.h"

CrumletDawEditor::CrumletDawEditor(CrumletDawProcessor& processor)
    : juce::AudioProcessorEditor(processor), m_processor(processor), m_properties(processor)
{
    // The editor shuts the framework down when the last editor in the process goes, as the
    // host's module must. In a DAW the plugin client owns the framework: one count held for
    // the plugin's life (never released) keeps closing the window from taking it down.
    static const JuceCount_Quarl* const clientOwnsTheFramework = new JuceCount_Quarl;
    (void)clientOwnsTheFramework;

    m_store.AttachPropertySet(&m_properties);
    m_editor = std::make_unique<PluginEditor>(&m_store, 1.0f);
    addAndMakeVisible(*m_editor);
    setSize(m_editor->getWidth(), m_editor->getHeight());
    // Records folded while no editor was open are old: the meters start from the next ones.
    MeterLevels old;
    m_processor.meterRecords().takeInto(old);
    startTimer(PluginEditor::kRefreshIntervalMs);
}

CrumletDawEditor::~CrumletDawEditor()
{
    stopTimer();
    m_editor.reset();
    m_store.AttachPropertySet(nullptr);
}

void CrumletDawEditor::followParameters()
{
    if (m_properties.takeChanged())
        m_editor->setRefreshPending(true);
}

void CrumletDawEditor::takeMeterRecords()
{
    m_editor->metering().take(m_processor.meterRecords());
}

void CrumletDawEditor::timerCallback()
{
    followParameters();
    takeMeterRecords();
}
