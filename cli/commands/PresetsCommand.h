// `crumlet presets`: the presets that ship with the product, listed, shown, or saved as
// preset files without rendering.
#pragma once

#include <string>

struct PresetsOptions
{
    std::string name; // one preset to show or save
    std::string save; // write it to this preset file
    bool force = false;
    bool json = false;
};

int runPresets(const PresetsOptions& options);
