// The standalone application: JUCE's standalone window around the plugin, with one addition
// for checking it without a person at the screen: `--screenshot FILE.png` writes the window's
// picture after a second and quits.
#include <juce_audio_plugin_client/utility/juce_IncludeModuleHeaders.h>

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include <memory>

#include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>

namespace
{
class CrumletStandaloneApp final : public juce::JUCEApplication
{
public:
    CrumletStandaloneApp()
    {
        juce::PropertiesFile::Options options;
        options.applicationName = getApplicationName();
        options.filenameSuffix = ".settings";
        options.folderName = "~/.config";
        m_properties.setStorageParameters(options);
    }

    const juce::String getApplicationName() override { return JucePlugin_Name; }
    const juce::String getApplicationVersion() override { return JucePlugin_VersionString; }
    bool moreThanOneInstanceAllowed() override { return true; }
    void anotherInstanceStarted(const juce::String&) override {}

    void initialise(const juce::String& commandLine) override
    {
        m_window = std::make_unique<juce::StandaloneFilterWindow>(
            getApplicationName(),
            juce::LookAndFeel::getDefaultLookAndFeel().findColour(juce::ResizableWindow::backgroundColourId),
            m_properties.getUserSettings(), false);
        m_window->setVisible(true);

        const auto args = juce::StringArray::fromTokens(commandLine, true);
        const int at = args.indexOf("--screenshot");
        if (at >= 0 && at + 1 < args.size())
        {
            const juce::File file = juce::File::getCurrentWorkingDirectory().getChildFile(args[at + 1].unquoted());
            juce::Timer::callAfterDelay(1000, [this, file] {
                setApplicationReturnValue(writeScreenshot(file) ? 0 : 1);
                quit();
            });
        }
    }

    void shutdown() override
    {
        m_window = nullptr;
        m_properties.saveIfNeeded();
    }

    void systemRequestedQuit() override
    {
        if (m_window != nullptr)
            m_window->pluginHolder->savePluginState();
        quit();
    }

private:
    bool writeScreenshot(const juce::File& file)
    {
        auto* content = m_window->getContentComponent();
        if (content == nullptr)
            return false;
        const juce::Image picture = content->createComponentSnapshot(content->getLocalBounds());
        file.deleteFile();
        juce::FileOutputStream out(file);
        juce::PNGImageFormat png;
        return out.openedOk() && png.writeImageToStream(picture, out);
    }

    juce::ApplicationProperties m_properties;
    std::unique_ptr<juce::StandaloneFilterWindow> m_window;
};
} // namespace

juce::JUCEApplicationBase* juce_CreateApplication()
{
    return new CrumletStandaloneApp();
}
