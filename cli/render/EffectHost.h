// The tool's host: the effect's module loaded as the real host loads it, its description,
// the parameter block its plugin object writes, and the registration record through which
// the sound engine makes processors.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "quarl/ModuleLoader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ParameterSettings;

class EffectHost
{
public:
    // The module to load instead of the one built beside the tool; call before instance().
    static void setModulePath(const std::string& path);

    // The module of an installed tool: in the library folder the install layout places
    // beside the running executable's (../lib/<multiarch>/crumlet from bin/); empty when
    // there is none. An installed tool prefers it to the module its build left behind.
    static std::string installedModulePath();

    // Loads the module on first use; throws IoError when it cannot be loaded or has not
    // registered its effect with the sound engine.
    static EffectHost& instance();

    const quarl::PluginDescription& description() const { return m_module->description(); }

    // The block the plugin object writes (its operation 16) with the properties set as given.
    std::vector<std::uint8_t> bankBlock(const ParameterSettings& settings) const;

    // The property's display name from the plugin object (its operation 21); empty if unknown.
    std::string displayName(const std::string& property) const;

    const ZQ::Quarl::PluginRegistration& effect() const { return *m_record; }

    // The loaded module, for authoring instances of the effect (its plugin objects).
    std::shared_ptr<const quarl::PluginModule> module() const { return m_module; }

    // Where the module was loaded from.
    const std::string& modulePath() const { return m_module->path(); }

private:
    explicit EffectHost(const std::string& path);

    std::shared_ptr<quarl::PluginModule> m_module;
    const ZQ::Quarl::PluginRegistration* m_record = nullptr;
};
