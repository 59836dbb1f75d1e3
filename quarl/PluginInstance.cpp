#include "quarl/PluginInstance.h"

#include "quarl/BankBlockWriter.h"

namespace quarl
{
PluginInstance::PluginInstance(std::shared_ptr<const PluginModule> module)
    : m_module(std::move(module)), m_properties(std::make_unique<PropertySet>(m_module->description())),
      m_plugin(m_module->createPlugin())
{
    if (!m_plugin)
        throw ModuleError("\"" + m_module->path() + "\" could not make a plugin object");
    m_plugin->AttachPropertySet(m_properties.get());
    m_properties->setChangeListener(
        [plugin = m_plugin.get()](const GUID& platform, LPCWSTR name) { plugin->OnPropertyChanged(platform, name); });
}

PluginInstance::~PluginInstance()
{
    // The object goes first; the property set it points at outlives it.
    m_properties->setChangeListener({});
    m_plugin.reset();
}

std::vector<std::uint8_t> PluginInstance::writeBankBlock()
{
    BankBlockWriter writer;
    m_plugin->WriteBankBlock(m_properties->currentPlatform(), &writer);
    return writer.bytes();
}

std::basic_string<WCHAR> PluginInstance::displayName(const std::string& property)
{
    const std::basic_string<WCHAR> name(property.begin(), property.end());
    WCHAR buffer[256] = {};
    if (!m_plugin->GetPropertyDisplayName(name.c_str(), buffer, 256))
        return {};
    return std::basic_string<WCHAR>(buffer);
}
} // namespace quarl
