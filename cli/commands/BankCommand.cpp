#include "cli/commands/BankCommand.h"

#include "cli/render/EffectHost.h"
#include "cli/io/OutputFiles.h"
#include "cli/settings/Presets.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/UsageError.h"

#include <cstdio>

namespace
{
int bank(const BankOptions& options)
{
    if (options.output.empty() && options.savePreset.empty())
        throw UsageError("give --out FILE for the block, --save-preset FILE for a preset file, or both");
    std::vector<std::string> sources;
    if (!options.bankFile.empty())
        sources.push_back(options.bankFile);
    if (!options.preset.empty() && findFactoryPreset(options.preset) == nullptr)
        sources.push_back(options.preset);
    for (const auto& target : {options.output, options.savePreset})
    {
        const std::string source = target.empty() ? std::string() : inputAt(target, sources);
        if (!source.empty())
            throw UsageError("\"" + target + "\" is the settings' source \"" + source + "\"; choose another name");
    }
    if (!options.output.empty() && !options.savePreset.empty() && samePlace(options.output, options.savePreset))
        throw UsageError("the block and the preset file are both \"" + options.savePreset + "\": choose two names");
    // Neither file is written unless both can be.
    for (const auto& target : {options.output, options.savePreset})
        if (!target.empty())
            requireCreatable(target);
    const EffectHost& host = EffectHost::instance();
    const ParameterSettings settings =
        settingsFrom(host.description(), options.bankFile, options.preset, options.assignments);
    if (!options.output.empty())
    {
        const std::vector<std::uint8_t> block = host.bankBlock(settings);
        writeFileAtomically(options.output, std::string(block.begin(), block.end()), true);
    }
    if (!options.savePreset.empty())
        savePreset(settings, options.savePreset, options.force);
    return 0;
}
} // namespace

int runBank(const BankOptions& options)
{
    return reportingErrors("bank", [&] { return bank(options); });
}
