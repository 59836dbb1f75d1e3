#include "host/OrvexCrumletPlugin.h"

#include "editor/PluginEditor.h"
#include "host/FrameworkMessages.h"
#include "host/SettingsDialogId.h"
#include "params/ParameterTable.h"
#include "params/ValueCodec.h"
#include "params/ValueLists.h"
#include "platform/ModuleState.h"
#include "platform/ScreenDevice.h"
#include "platform/StringTable.h"
#include "platform/WindowMessages.h"
#include "widgets/PluginEditorContainer.h"

#include <limits>
#include <thread>

using namespace ZQ::Quarl;

OrvexCrumletPlugin::~OrvexCrumletPlugin()
{
    detachEditor();
}

void OrvexCrumletPlugin::DestroyPlugin() noexcept
{
    delete this;
}

void OrvexCrumletPlugin::OnPropertyChanged(const GUID&, LPCWSTR) noexcept
{
    // Every control rereads the store at once. Nothing may escape into the host's frames:
    // a refresh that fails (out of memory) is left to the editor's next tick.
    if (PluginEditor* editor = openEditor())
    {
        editor->setRefreshPending(true);
        try
        {
            editor->timerCallback();
        }
        catch (...)
        {
        }
    }
}

PluginEditor* OrvexCrumletPlugin::openEditor() const
{
    return m_editorContainer != nullptr ? static_cast<PluginEditor*>(m_editorContainer->getEditor()) : nullptr;
}

bool OrvexCrumletPlugin::WriteBankBlock(const GUID& platform, IBlockWriter* writer) noexcept
{
    if (writer == nullptr)
        return true;
    // One VARIANT for all forty reads: a property that cannot be read still takes its
    // place, with what the previous read left (zero before the first), so the layout holds.
    VARIANT value{};
    VariantInit(&value);
    for (const ParameterDefinition& def : g_parameterDefinitions)
    {
        if (m_propertySet != nullptr)
            m_propertySet->GetValue(platform, def.name, value);
        writeBlockValue(*writer, def.hostType, value);
    }
    VariantClear(&value);
    return true;
}

bool OrvexCrumletPlugin::GetDialogResource(std::int32_t, UINT& dialogId, void*& table) noexcept
{
    dialogId = IDD_CRUMLET_SETTINGS;
    table = nullptr;
    return true;
}

bool OrvexCrumletPlugin::HandleWindowMessage(std::int32_t, HWND window, UINT message, WPARAM, LPARAM,
                                             LRESULT& result) noexcept
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    // Nothing may escape into the host's frames: an editor that cannot be built (out of
    // memory) leaves the dialog empty, as if it had not been opened.
    try
    {
        if (message == WM_INITDIALOG)
            attachEditor(window);
        else if (message == WM_DESTROY)
            detachEditor();
        else if (message == WM_ENTERIDLE && m_editorContainer != nullptr)
            dispatchFrameworkMessages();
    }
    catch (...)
    {
        detachEditor();
    }
    // Never consumed: the host's own handling of the message goes on.
    result = 0;
    return false;
}

void OrvexCrumletPlugin::attachEditor(HWND window)
{
    if (m_editorContainer != nullptr)
        detachEditor();
    m_hostWindow = window;
    // The framework starts here, on the host's UI thread, which becomes its message thread:
    // before the editor's first component, so that its windows' events reach the message loop.
    juce::MessageManager::getInstance();
    int dpi = 96;
    if (HDC screen = GetDC(nullptr))
    {
        dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
    const double scale = dpi / 96.0;
    auto* editor = new PluginEditor(this, static_cast<float>(scale));
    m_editorContainer = new PluginEditorContainer(editor);
    m_editorContainer->setOpaque(true);
    m_editorContainer->setVisible(true);
    // A child window of the host's dialog. A dialog without a window on screen (a host
    // running headless) gets the editor without showing it.
    if (void* parent = platform::nativeWindowOf(window))
        m_editorContainer->addToDesktop(0, parent);
    m_monitoredEditor.store(editor);
}

void OrvexCrumletPlugin::detachEditor()
{
    m_hostWindow = nullptr;
    if (m_editorContainer == nullptr)
        return;
    // Monitor data may be in delivery on another thread: stop new deliveries reaching the
    // editor and let those under way finish before it goes.
    m_monitoredEditor.store(nullptr);
    while (m_deliveries.load() != 0)
        std::this_thread::yield();
    m_editorContainer->removeFromDesktop();
    delete m_editorContainer;
    m_editorContainer = nullptr;
}

bool OrvexCrumletPlugin::GetPropertyDisplayName(LPCWSTR name, LPWSTR buffer, UINT length) noexcept
{
    if (name == nullptr)
        return false;
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    for (const DisplayNameEntry* entry = g_displayNameTable.data(); entry->name != nullptr; ++entry)
    {
        if (!wideEquals(entry->name, name))
            continue;
        const int capacity = length > static_cast<UINT>(std::numeric_limits<int>::max())
                                 ? std::numeric_limits<int>::max()
                                 : static_cast<int>(length);
        // As the system call does: cut to the buffer, or with a length of 0 a pointer to
        // the read-only string stored in the buffer.
        LoadStringW(AfxGetResourceHandle(), static_cast<UINT>(entry->stringId), buffer, capacity);
        return true;
    }
    return false;
}

bool OrvexCrumletPlugin::ShowHelp(HWND window, std::int32_t selector) noexcept
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (selector != 0)
        return false;
    SendMessageW(window, kHelpMessage, kHelpTopic, 0);
    return true;
}

void OrvexCrumletPlugin::ReceiveMonitorData(const MonitorEntry* entries, std::uint32_t count, bool byteSwap,
                                            std::uint8_t) noexcept
{
    // Any thread. Only an open editor reads meter records, the first entry's.
    m_deliveries.fetch_add(1);
    PluginEditor* editor = m_monitoredEditor.load();
    if (editor != nullptr && entries != nullptr && count > 0)
        editor->monitorDataReceived(entries, byteSwap);
    m_deliveries.fetch_sub(1);
}

std::uint32_t OrvexCrumletPlugin::ForwardHostQuery(std::uint32_t value) noexcept
{
    if (m_propertySet == nullptr)
        return DefaultAudioPluginImplementation::ForwardHostQuery(value);
    std::uint32_t first = 0, second = 0, third = 0;
    m_propertySet->QueryHost(value, first, second, third);
    return second;
}

int OrvexCrumletPlugin::getNumParameters()
{
    return static_cast<int>(g_parameterTable.size());
}

juce::String OrvexCrumletPlugin::getParameterText(ParameterId id)
{
    switch (id)
    {
    case ParamId::DistortionMode:
    case ParamId::SIMType:
    case ParamId::LoFiBitDepthType:
    case ParamId::LoFiDownSampleIndex: {
        if (isParameterRTPC(id))
            return "RTPC";
        const std::vector<std::string> list = getParameterValueList(id);
        const int index = getParameterListIndex(id);
        // A value outside the list (which the host does not store) shows as its number.
        if (index < 0 || static_cast<std::size_t>(index) >= list.size())
            return juce::String(index);
        return juce::String(list[static_cast<std::size_t>(index)]);
    }
    default: return AudioProcessor::getParameterText(id);
    }
}

std::vector<std::string> OrvexCrumletPlugin::getParameterValueList(ParameterId id)
{
    return valueListOf(id);
}

float OrvexCrumletPlugin::getParameterDisplayValue(ParameterId id)
{
    const ParameterDefinition* def = findParameter(id);
    if (def == nullptr)
        return getParameterValue(id);
    switch (def->hostType)
    {
    case HostType::Bool: return getParameterBool(id) ? 1.f : 0.f;
    case HostType::Int: return static_cast<float>(getParameterListIndex(id));
    case HostType::Float: return getParameterValue(id);
    }
    return getParameterValue(id);
}
