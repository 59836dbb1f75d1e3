#include "cli/settings/SettingsOptions.h"

#include "cli/settings/Presets.h"
#include "cli/settings/SettingsFileReader.h"
#include "cli/settings/UsageError.h"

std::vector<std::uint8_t> readBankFile(const std::string& path, std::size_t size)
{
    // One byte more than a block tells a file that is too long.
    const SettingsFileBytes read = readSettingsFile(path, size, "a parameter block file");
    if (read.longer || read.bytes.size() != size)
        throw UsageError("\"" + path + "\" is not a parameter block: it holds " +
                         (read.longer ? "more than " + std::to_string(size) : std::to_string(read.bytes.size())) +
                         " bytes, a block holds " + std::to_string(size));
    return std::vector<std::uint8_t>(read.bytes.begin(), read.bytes.end());
}

ParameterSettings settingsFrom(const quarl::PluginDescription& description, const std::string& bankFile,
                               const std::string& preset, const std::vector<std::string>& assignments,
                               transmission::TransmissionSettings* transmission, space::SpaceSettings* space)
{
    ParameterSettings settings(description);
    if (!bankFile.empty())
        settings.loadBlock(readBankFile(bankFile, blockSizeOf(description)));
    if (!preset.empty())
        applyPreset(settings, preset, transmission, space);
    for (const auto& assignment : assignments)
        settings.assign(assignment);
    return settings;
}
