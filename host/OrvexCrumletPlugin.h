// The authoring plugin object: what the host creates for every instance of the effect in
// a project. It answers the host's plugin operations on top of the parameter store:
// the parameter block for the sound banks, property display names, the settings dialog,
// help, and the relay of host notifications to the editor.
#pragma once

#include "store/AudioProcessor.h"

#include <atomic>

// The editor's window content; it holds the editor and is owned by the plugin object
// while the settings dialog is open.
class PluginEditorContainer;
class PluginEditor;

class OrvexCrumletPlugin final : public AudioProcessor
{
public:
    OrvexCrumletPlugin() = default;
    ~OrvexCrumletPlugin() override;

    // Host operations.
    void DestroyPlugin() noexcept override;
    void OnPropertyChanged(const GUID& platform, LPCWSTR name) noexcept override;
    // Forty values in host order through the writer's bool, int32 and float operations.
    bool WriteBankBlock(const GUID& platform, ZQ::Quarl::IBlockWriter* writer) noexcept override;
    bool GetDialogResource(std::int32_t selector, UINT& dialogId, void*& table) noexcept override;
    bool HandleWindowMessage(std::int32_t selector, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result) noexcept override;
    bool GetPropertyDisplayName(LPCWSTR name, LPWSTR buffer, UINT length) noexcept override;
    bool ShowHelp(HWND window, std::int32_t selector) noexcept override;
    void ReceiveMonitorData(const ZQ::Quarl::MonitorEntry* entries, std::uint32_t count, bool byteSwap,
                            std::uint8_t extra) noexcept override;
    std::uint32_t ForwardHostQuery(std::uint32_t value) noexcept override;

    // Store operations.
    int getNumParameters() override;
    // Value names for DistortionMode, SIMType, LoFiBitDepthType and LoFiDownSampleIndex.
    juce::String getParameterText(ParameterId id) override;
    std::vector<std::string> getParameterValueList(ParameterId id) override;
    // Switches as 1.0 or 0.0, list parameters as their index.
    float getParameterDisplayValue(ParameterId id) override;

    bool hasEditor() const { return m_editorContainer != nullptr; }
    // The editor shown in the settings dialog, or null.
    PluginEditor* openEditor() const;

    // What ShowHelp sends the host's window.
    static constexpr UINT kHelpMessage = 0x4981;
    static constexpr WPARAM kHelpTopic = 114;

private:
    // On WM_INITDIALOG: remembers the host's dialog window and builds the editor in it.
    void attachEditor(HWND window);
    // On WM_DESTROY and at destruction: takes the editor down and forgets the window.
    void detachEditor();

    PluginEditorContainer* m_editorContainer = nullptr;
    // What the monitor delivery, on its own thread, hands records to; null while no editor
    // is open. Detaching waits until no delivery is under way.
    std::atomic<PluginEditor*> m_monitoredEditor{nullptr};
    std::atomic<int> m_deliveries{0};
};
