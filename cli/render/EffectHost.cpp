#include "cli/render/EffectHost.h"

#include "cli/settings/ParameterSettings.h"
#include "cli/settings/UsageError.h"
#include "quarl/PluginInstance.h"
#include "quarl/SoundEngine.h"

#include <filesystem>
#include <unistd.h>

namespace
{
std::string g_modulePath;

std::filesystem::path runningExecutable()
{
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

// The module built with the tool, else one in ../module beside the executable.
std::string defaultModulePath()
{
#ifdef CRUMLET_DEFAULT_MODULE_PATH
    if (std::filesystem::exists(CRUMLET_DEFAULT_MODULE_PATH))
        return CRUMLET_DEFAULT_MODULE_PATH;
#endif
    return (runningExecutable().parent_path().parent_path() / "module" / "libOrvexCrumlet.so").string();
}
} // namespace

std::string EffectHost::installedModulePath()
{
#ifdef CRUMLET_INSTALLED_MODULE_FOLDER
    const auto path =
        (runningExecutable().parent_path() / CRUMLET_INSTALLED_MODULE_FOLDER / "libOrvexCrumlet.so").lexically_normal();
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec))
        return path.string();
#endif
    return {};
}

void EffectHost::setModulePath(const std::string& path)
{
    g_modulePath = path;
}

EffectHost& EffectHost::instance()
{
    static EffectHost host(g_modulePath.empty() ? defaultModulePath() : g_modulePath);
    return host;
}

EffectHost::EffectHost(const std::string& path)
{
    try
    {
        m_module = quarl::PluginModule::load(path);
    }
    catch (const std::exception& e)
    {
        throw IoError("cannot load the effect's module \"" + path + "\": " + e.what());
    }
    m_record = quarl::SoundEngine::instance().find(description().companyId, description().pluginId);
    if (m_record == nullptr)
        throw IoError("the module \"" + path + "\" did not register its effect with the sound engine");
}

std::vector<std::uint8_t> EffectHost::bankBlock(const ParameterSettings& settings) const
{
    quarl::PluginInstance instance(m_module);
    settings.applyTo(instance.properties());
    return instance.writeBankBlock();
}

std::string EffectHost::displayName(const std::string& property) const
{
    quarl::PluginInstance instance(m_module);
    const std::u16string wide = instance.displayName(property);
    std::string out;
    for (char16_t c : wide)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}
