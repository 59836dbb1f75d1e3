#include "windows/crumlet/WindowsHost.h"

#include "cli/settings/ParameterSettings.h"
#include "pipeline/EffectRun.h"
#include "quarl/PluginInstance.h"
#include "quarl/SoundEngine.h"

#include <nlohmann/json.hpp>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

using namespace ZQ::Quarl;

std::string WindowsHost::defaultModulePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return (std::filesystem::path(path).parent_path().parent_path() / "module" / "OrvexCrumlet.dll").string();
}

WindowsHost::WindowsHost(const std::string& modulePath)
    : m_module(quarl::PluginModule::load(modulePath.empty() ? defaultModulePath() : modulePath))
{
    m_record = quarl::SoundEngine::instance().find(description().companyId, description().pluginId);
    if (m_record == nullptr)
        throw std::runtime_error("the module did not register its effect with the sound engine");
}

std::vector<std::uint8_t> WindowsHost::bankBlock(const ParameterSettings& settings) const
{
    quarl::PluginInstance instance(m_module);
    settings.applyTo(instance.properties());
    return instance.writeBankBlock();
}

std::vector<float> WindowsHost::render(const std::vector<std::uint8_t>& block, const std::vector<float>& input,
                                       std::uint32_t channels, std::uint32_t sampleRate,
                                       std::uint32_t blockFrames) const
{
    pipeline::EffectRun run(*m_record, {block, blockFrames}, sampleRate, channels);
    return run.render(input.data(), input.size() / channels);
}

void applyPresetFile(ParameterSettings& settings, const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read \"" + path + "\"");
    const nlohmann::json preset = nlohmann::json::parse(in);
    for (const auto& [name, value] : preset.items())
    {
        if (name == "description")
            continue;
        if (value.is_string())
            settings.set(name, value.get<std::string>());
        else if (value.is_boolean())
            settings.set(name, value.get<bool>() ? "on" : "off");
        else
            settings.set(name, value.dump());
    }
}
