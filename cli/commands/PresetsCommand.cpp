#include "cli/commands/PresetsCommand.h"

#include "cli/render/EffectHost.h"
#include "cli/settings/PresetSearch.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <vector>

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

// The words joined as one name: `crumlet presets Phone call` shows "Phone call".
std::string joined(const std::vector<std::string>& words)
{
    std::string name;
    for (const auto& w : words)
        name += (name.empty() ? "" : " ") + w;
    return name;
}

void printListing(const std::vector<const FactoryPreset*>& listed)
{
    for (const FactoryPreset* preset : listed)
    {
        std::printf("%-20s %s\n", preset->name.c_str(), preset->description.c_str());
        printFollowing(*preset, "                     ");
    }
}

int presets(const PresetsOptions& options)
{
    const std::string name = joined(options.words);
    const FactoryPreset* chosen = name.empty() ? nullptr : findFactoryPreset(name);
    if (!options.save.empty())
    {
        if (name.empty())
            throw UsageError("--save needs the preset's name: crumlet presets NAME --save FILE");
        if (chosen == nullptr)
            throw UsageError("no preset named \"" + name + "\"" + presetNameHint(name));
        ParameterSettings settings(EffectHost::instance().description());
        applyPreset(settings, chosen->name);
        savePreset(settings, options.save, options.force, chosen->description, chosen->transmission, chosen->space);
        return 0;
    }
    // A preset's name shows that preset; other words find the presets that hold them all.
    const std::vector<const FactoryPreset*> found =
        chosen != nullptr ? std::vector<const FactoryPreset*>{chosen} : presetsMatching(options.words);
    if (options.json)
    {
        nlohmann::ordered_json out = nlohmann::ordered_json::object();
        for (const FactoryPreset* preset : found)
            out[preset->name] = fileFormOf(*preset);
        std::printf("%s\n", (chosen != nullptr ? out[chosen->name] : out).dump(2).c_str());
        return found.empty() ? 1 : 0;
    }
    if (chosen != nullptr)
    {
        std::printf("%s: %s\n", chosen->name.c_str(), chosen->description.c_str());
        for (const auto& v : chosen->values)
            std::printf("  %s = %s\n", v.property.c_str(), v.text.c_str());
        printFollowing(*chosen, "  ");
        return 0;
    }
    if (found.empty())
    {
        std::fprintf(stderr, "crumlet presets: no preset named or described by \"%s\"%s\n", name.c_str(),
                     presetNameHint(name).c_str());
        return 1;
    }
    printListing(found);
    std::printf("\nUse one with: crumlet render --preset \"%s\" --in IN.wav --out OUT.wav\n", found.front()->name.c_str());
    return 0;
}
} // namespace

int runPresets(const PresetsOptions& options)
{
    return reportingErrors("presets", [&] { return presets(options); });
}
