// Finding a shipped preset by words (WordSearch.h): each must stand whole in its name, its
// description, what follows its effect (the codec, loss and radio) or the space it is heard in.
#pragma once

#include "cli/settings/Presets.h"

#include <string>
#include <vector>

// The shipped presets the words find, in file order; every preset for no words.
std::vector<const FactoryPreset*> presetsMatching(const std::vector<std::string>& words);
