// Variation per file: `--vary NAME=±AMOUNT` draws each file's value of a property around
// its setting, so that many lines through one look do not all sound stamped from one die.
// The draw is seeded per file (by default from the output's name: a re-run makes the same
// files), uniform over the setting ± the amount within the property's range.
#pragma once

#include "cli/settings/ParameterSettings.h"

#include <cstdint>
#include <string>
#include <vector>

struct VariationSpec
{
    std::size_t property = 0; // index in the description
    double amount = 0;        // in the property's units (list entries for a list)
};

struct VariedValue
{
    std::string property;
    double value = 0;   // as drawn, in the property's units
    double offset = 0;  // from the setting
    std::string text;   // as --set takes it back
};

// "NAME=±AMOUNT" ("SIMTuning=±6", "NoiseLevel=+-3dB", "NoiseLevel=3 dB"); throws UsageError
// naming what is wrong (an unknown property, a switch, an amount that is not a positive
// number in the property's units).
VariationSpec parseVariation(const quarl::PluginDescription& description, const std::string& text);

// Sets each varied property of `settings` to its draw for `seed`; each property draws from
// its own sequence, so adding a --vary leaves the others' draws alone.
std::vector<VariedValue> applyVariation(ParameterSettings& settings, const std::vector<VariationSpec>& specs,
                                        std::uint64_t seed);

// A file's seed from its output's file name (not its folder): the same name, the same draw.
std::uint64_t seedFromName(const std::string& outputPath);

// A seed of its own for `seed` taken with `other` (a file's name's seed, an epoch).
std::uint64_t mixedSeed(std::uint64_t seed, std::uint64_t other);
