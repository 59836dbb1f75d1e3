// `crumlet sims`: the device models, one line each with a plain description of how each
// sounds (the band heard and its character), narrowed by category or by words found whole in
// a device's name, category, tags or description; the seven sections of each on request.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include <string>
#include <vector>

struct SimsOptions
{
    std::vector<std::string> words; // each whole in the name, category, tags or description
    std::string category; // a category heading, or a word in one
    bool sections = false;
    bool json = false;
};

// The abbreviations of the --sections listing, for the command's help.
extern const char* const kSimsSectionsHelp;

// The models the options pick, as --json lists them; throws UsageError for an unknown category.
nlohmann::ordered_json deviceModelsJson(const SimsOptions& options);

int runSims(const SimsOptions& options);
