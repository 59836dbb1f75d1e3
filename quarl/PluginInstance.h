// One authoring instance of a plugin as the host keeps it: the plugin object from the
// module's factory and the property set the host attaches to it, with the host's
// notifications wired to the object.
#pragma once

#include "quarl/ModuleLoader.h"
#include "quarl/PropertySet.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quarl
{
class PluginInstance
{
public:
    // Creates the object and attaches a property set at the description's defaults.
    // Throws ModuleError when the module cannot make an object.
    explicit PluginInstance(std::shared_ptr<const PluginModule> module);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    ZQ::Quarl::IAudioPlugin& plugin() { return *m_plugin; }
    PropertySet& properties() { return *m_properties; }

    // The parameter block as the plugin object writes it for the current platform
    // (its operation 16 through a BankBlockWriter).
    std::vector<std::uint8_t> writeBankBlock();

    // The property's display name from the plugin object (its operation 21); empty when
    // the object does not know the name.
    std::basic_string<WCHAR> displayName(const std::string& property);

private:
    std::shared_ptr<const PluginModule> m_module;
    std::unique_ptr<PropertySet> m_properties;
    PluginPtr m_plugin;
};
} // namespace quarl
