// The top-level component the host's window receives: holds the editor as its only child,
// scaled to the screen's pixel density. Deleting the container deletes the editor.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class AudioProcessorEditor_Orvex;

class PluginEditorContainer : public juce::Component
{
public:
    // Takes ownership of `editor`.
    explicit PluginEditorContainer(AudioProcessorEditor_Orvex* editor);
    ~PluginEditorContainer() override;

    void paint(juce::Graphics& g) override;

    AudioProcessorEditor_Orvex* getEditor() const { return m_editor; }

    // The screen's logical pixels per inch along x, or 96 when the screen cannot be asked.
    static int screenPixelsPerInch();

private:
    AudioProcessorEditor_Orvex* m_editor;
};
