#include "cli/settings/PresetSearch.h"

#include "cli/settings/WordSearch.h"

namespace
{
std::string searchedText(const FactoryPreset& preset)
{
    std::string text = preset.name + " | " + preset.description;
    if (preset.transmission.active())
        text += " | " + transmission::summaryText(preset.transmission);
    if (preset.space.active())
        text += " | " + space::spaceText(preset.space);
    return text;
}
} // namespace

std::vector<const FactoryPreset*> presetsMatching(const std::vector<std::string>& words)
{
    std::vector<const FactoryPreset*> found;
    for (const FactoryPreset& preset : factoryPresets())
        if (holdsEveryWord(searchedText(preset), words))
            found.push_back(&preset);
    return found;
}
