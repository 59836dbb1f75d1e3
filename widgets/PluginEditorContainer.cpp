#include "widgets/PluginEditorContainer.h"

#include "platform/ModuleState.h"
#include "platform/ScreenDevice.h"
#include "widgets/AudioProcessorEditor_Orvex.h"

int PluginEditorContainer::screenPixelsPerInch()
{
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return 96;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

PluginEditorContainer::PluginEditorContainer(AudioProcessorEditor_Orvex* editor) : m_editor(editor)
{
    if (m_editor == nullptr)
        return;
    const float scale = static_cast<float>(screenPixelsPerInch()) / 96.0f;
    m_editor->setOpaque(true);
    m_editor->setTransform(juce::AffineTransform::scale(scale));
    addAndMakeVisible(m_editor);
    setSize(m_editor->getWidth(), m_editor->getHeight());
}

PluginEditorContainer::~PluginEditorContainer()
{
    deleteAllChildren();
}

void PluginEditorContainer::paint(juce::Graphics& g)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    g.setColour(juce::Colour(0xFFFFFFFF));
    g.setOpacity(1.0f);
}
