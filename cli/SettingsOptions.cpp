#include "cli/SettingsOptions.h"

#include "cli/OutputFiles.h"
#include "cli/Presets.h"
#include "cli/UsageError.h"

#include <cerrno>
#include <fstream>
#include <iterator>

std::vector<std::uint8_t> readBankFile(const std::string& path, std::size_t size)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw IoError("cannot read \"" + path + "\": " + systemReason(errno));
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != size)
        throw UsageError("\"" + path + "\" is not a parameter block: it holds " + std::to_string(bytes.size()) +
                         " bytes, a block holds " + std::to_string(size));
    return bytes;
}

ParameterSettings settingsFrom(const quarl::PluginDescription& description, const std::string& bankFile,
                               const std::string& preset, const std::vector<std::string>& assignments)
{
    ParameterSettings settings(description);
    if (!bankFile.empty())
        settings.loadBlock(readBankFile(bankFile, blockSizeOf(description)));
    if (!preset.empty())
        applyPreset(settings, preset);
    for (const auto& assignment : assignments)
        settings.assign(assignment);
    return settings;
}
