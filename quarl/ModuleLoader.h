// Loading a plugin module as the host does: the shared library, its two exports
// (ZqCreatePlugin and g_pZQPluginList) and the description file shipped beside it.
#pragma once

#include "ZQ/QuarlPlugin.h"
#include "ZQ/QuarlSoundEngine.h"
#include "quarl/PluginDescription.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace quarl
{
struct ModuleError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// Destroys a plugin object through its first operation, as the host does.
struct PluginDestroyer
{
    void operator()(ZQ::Quarl::IAudioPlugin* plugin) const
    {
        if (plugin != nullptr)
            plugin->DestroyPlugin();
    }
};
using PluginPtr = std::unique_ptr<ZQ::Quarl::IAudioPlugin, PluginDestroyer>;

class PluginModule
{
public:
    // Loads the module (running its start-up, which registers its effect with the sound
    // engine when that library is loaded) and reads its description, `description` or else
    // the one beside the module (descriptionPathFor). Throws ModuleError or DescriptionError.
    static std::shared_ptr<PluginModule> load(const std::string& modulePath, const std::string& description = {});

    // The description file shipped beside a module: "dir/libName.so" → "dir/Name.json".
    static std::string descriptionPathFor(const std::string& modulePath);

    // A new plugin object from ZqCreatePlugin; null when the module has no memory.
    PluginPtr createPlugin() const;

    // The module's registration list as it stands (the value of g_pZQPluginList).
    ZQ::Quarl::PluginRegistration* registrationList() const;

    const PluginDescription& description() const { return m_description; }
    const std::string& path() const { return m_path; }

    // A module stays loaded for the life of the process: the sound engine keeps its
    // registration records, and plugin objects may outlive this handle.
    ~PluginModule() = default;
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

private:
    PluginModule() = default;

    std::string m_path;
    void* m_handle = nullptr;
    ZqCreatePluginFn m_create = nullptr;
    ZQ::Quarl::PluginRegistration** m_list = nullptr;
    PluginDescription m_description;
};
} // namespace quarl
