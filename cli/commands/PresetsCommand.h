// `crumlet presets`: the presets that ship with the product, listed, found by words in their
// names and descriptions, shown, or saved as preset files without rendering.
#pragma once

#include <string>
#include <vector>

struct PresetsOptions
{
    std::vector<std::string> words; // a preset's name (to show or save), or words to find presets by
    std::string save; // write it to this preset file
    bool force = false;
    bool json = false;
};

int runPresets(const PresetsOptions& options);
