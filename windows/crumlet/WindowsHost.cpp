#include "windows/crumlet/WindowsHost.h"

#include "cli/settings/ParameterSettings.h"
#include "quarl/HostAllocator.h"
#include "quarl/PluginInstance.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SilenceFloor.h"
#include "quarl/SoundEngine.h"
#include "quarl/StreamRenderer.h"

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
    quarl::HostAllocator allocator;
    quarl::ProcessingContext context(false);
    quarl::EffectInstance instance(*m_record, allocator, &context);
    const Result created = instance.create(block.data(), static_cast<std::uint32_t>(block.size()),
                                           AudioFormat{sampleRate, channels});
    if (created != Success)
        throw std::runtime_error("the effect could not be set up (host code " + std::to_string(created) + ")");
    std::size_t read = 0;
    std::vector<float> output;
    quarl::StreamRenderer renderer(*instance.effect(), channels, blockFrames);
    // As the Linux tool: silence in after the effect's tail while the output still rings.
    renderer.playOnWhileRinging({sampleRate, {}, [&] {
                                     return quarl::silenceFloorRms(*m_record, block, AudioFormat{sampleRate, channels},
                                                                   blockFrames);
                                 }});
    renderer.run(
        [&](float* into, std::uint32_t frames) {
            const std::size_t n = std::min<std::size_t>(frames, (input.size() - read) / channels);
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(read), n * channels, into);
            read += n * channels;
            return static_cast<std::uint32_t>(n);
        },
        [&](const float* from, std::uint32_t frames) {
            output.insert(output.end(), from, from + static_cast<std::size_t>(frames) * channels);
            return true;
        });
    return output;
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
