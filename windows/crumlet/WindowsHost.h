// The Windows crumlet's host: the module loaded from its DLL as the real host loads it,
// the plugin object's parameter block and display names, and the effect made through the
// registration record that the module handed to QuarlSoundEngine.dll.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "quarl/ModuleLoader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ParameterSettings;

class WindowsHost
{
public:
    // Loads the module (by default ..\module\OrvexCrumlet.dll beside this program); throws
    // std::runtime_error when it cannot be loaded or has not registered its effect.
    explicit WindowsHost(const std::string& modulePath = {});

    const quarl::PluginDescription& description() const { return m_module->description(); }
    std::shared_ptr<const quarl::PluginModule> module() const { return m_module; }

    // The block the plugin object writes with the properties set as given.
    std::vector<std::uint8_t> bankBlock(const ParameterSettings& settings) const;

    // Runs the effect, made from `block`, over interleaved input in buffers of `blockFrames`
    // as the tool's effect run does (the tail included); answers the interleaved output.
    // Throws pipeline::RunError when the effect cannot be set up or stops with an error.
    std::vector<float> render(const std::vector<std::uint8_t>& block, const std::vector<float>& input,
                              std::uint32_t channels, std::uint32_t sampleRate, std::uint32_t blockFrames) const;

    static std::string defaultModulePath();

private:
    std::shared_ptr<quarl::PluginModule> m_module;
    const ZQ::Quarl::PluginRegistration* m_record = nullptr;
};

// Sets every property a preset file names (a JSON object of property name to value).
void applyPresetFile(ParameterSettings& settings, const std::string& path);
