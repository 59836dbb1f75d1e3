#include "cli/commands/PresetsCommand.h"

#include "cli/render/EffectHost.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace
{
// The preset applied to the defaults, as a preset file holds it.
nlohmann::ordered_json fileFormOf(const FactoryPreset& preset)
{
    ParameterSettings settings(EffectHost::instance().description());
    applyPreset(settings, preset.name);
    return presetJson(settings, preset.description, preset.transmission, preset.space);
}

// What the listing says follows the effect: "then: " the transmission, "heard in " the space.
void printFollowing(const FactoryPreset& preset, const char* indent)
{
    if (preset.transmission.active())
        std::printf("%sthen: %s\n", indent, transmission::summaryText(preset.transmission).c_str());
    if (preset.space.active())
        std::printf("%sheard in %s\n", indent, space::spaceText(preset.space).c_str());
}

int presets(const PresetsOptions& options)
{
    const FactoryPreset* chosen = nullptr;
    if (!options.name.empty() && (chosen = findFactoryPreset(options.name)) == nullptr)
        throw UsageError("no preset named \"" + options.name + "\"" + presetNameHint(options.name));
    if (!options.save.empty())
    {
        if (chosen == nullptr)
            throw UsageError("--save needs the preset's name: crumlet presets NAME --save FILE");
        ParameterSettings settings(EffectHost::instance().description());
        applyPreset(settings, chosen->name);
        savePreset(settings, options.save, options.force, chosen->description, chosen->transmission, chosen->space);
        return 0;
    }
    if (options.json)
    {
        nlohmann::ordered_json out = nlohmann::ordered_json::object();
        for (const auto& preset : factoryPresets())
            if (chosen == nullptr || chosen == &preset)
                out[preset.name] = fileFormOf(preset);
        std::printf("%s\n", (chosen != nullptr ? out[chosen->name] : out).dump(2).c_str());
        return 0;
    }
    if (chosen != nullptr)
    {
        std::printf("%s: %s\n", chosen->name.c_str(), chosen->description.c_str());
        for (const auto& v : chosen->values)
            std::printf("  %s = %s\n", v.property.c_str(), v.text.c_str());
        printFollowing(*chosen, "  ");
        return 0;
    }
    for (const auto& preset : factoryPresets())
    {
        std::printf("%-20s %s\n", preset.name.c_str(), preset.description.c_str());
        printFollowing(preset, "                     ");
    }
    std::printf("\nUse one with: crumlet render --preset \"%s\" --in IN.wav --out OUT.wav\n",
                factoryPresets().empty() ? "NAME" : factoryPresets().front().name.c_str());
    return 0;
}
} // namespace

int runPresets(const PresetsOptions& options)
{
    return reportingErrors("presets", [&] { return presets(options); });
}
