// Presets: JSON objects of property name to value, with values as `--set` takes them.
// The product ships a few named ones (presets/factory.json, built into the tool).
#pragma once

#include "cli/ParameterSettings.h"

#include <string>
#include <vector>

struct PresetValue
{
    std::string property;
    std::string text;
    bool isText; // a JSON string: list texts win over indices
};

struct FactoryPreset
{
    std::string name;
    std::vector<PresetValue> values;
};

extern const char* const kFactoryPresetsJson;

// The shipped presets, in file order.
const std::vector<FactoryPreset>& factoryPresets();

// Applies a factory preset by name (case-insensitive) or else a preset file; throws
// UsageError for a malformed file (saying where) or a bad property, IoError when the
// file cannot be read.
void applyPreset(ParameterSettings& settings, const std::string& nameOrPath);

// Writes every property to a preset file.
void savePreset(const ParameterSettings& settings, const std::string& path);
