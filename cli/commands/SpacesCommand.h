// `crumlet spaces`: the generated spaces a line can be heard in, one line each: the name, the
// reverberation time it states and how it sounds; narrowed by words (SpaceSearch.h).
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct SpacesOptions
{
    std::vector<std::string> words; // each whole in the name, description or tags
    bool json = false;
};

int runSpaces(const SpacesOptions& options);

// The spaces matching every word, as --json lists them.
nlohmann::ordered_json spacesListJson(const std::vector<std::string>& words);
