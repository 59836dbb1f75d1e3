// Presets: JSON objects of property name to value, with values as `--set` takes them
// (numbers, texts, true/false), an optional one-line "description", and an optional
// "transmission" object ("codec", "loss", "radio" and "space", as --codec, --loss, --radio and
// --space take them; "radio" may also be true or false). The product ships named ones
// (presets/factory.json, built into the tool).
#pragma once

#include "cli/settings/ParameterSettings.h"
#include "space/SpaceSettings.h"
#include "transmission/TransmissionSettings.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct PresetValue
{
    std::string property;
    std::string text; // as `--set` takes it
};

struct FactoryPreset
{
    std::string name;
    std::string description; // one line, for `crumlet presets`
    std::vector<PresetValue> values;
    transmission::TransmissionSettings transmission; // what follows the effect, when active()
    space::SpaceSettings space;                      // where it is heard, when active()
};

extern const char* const kFactoryPresetsJson;

// A preset file holds at most this many bytes (a saved preset takes about 1.3 KB).
constexpr std::size_t kMostPresetFileBytes = 64 * 1024;

// The shipped presets, in file order.
const std::vector<FactoryPreset>& factoryPresets();

// The shipped preset of that name (any case), or null.
const FactoryPreset* findFactoryPreset(const std::string& name);

// What to say after "no preset named ...": "; did you mean "Police radio"?" for a near name,
// else the list of shipped presets in brackets.
std::string presetNameHint(const std::string& typed);

// Applies a factory preset by name (any case) or else a preset file; throws UsageError for
// an unknown name, a name that is both a shipped preset's and a file's ("./NAME" is the file), a malformed file (saying where), a bad property, a file larger than
// kMostPresetFileBytes, a folder or a device, IoError (with the system's reason) when the
// file cannot be read.
// The preset's "transmission" goes to `transmission` and its space to `space` when given
// (inactive settings when it holds none): the file is read once (it may be a pipe).
void applyPreset(ParameterSettings& settings, const std::string& nameOrPath,
                 transmission::TransmissionSettings* transmission = nullptr, space::SpaceSettings* space = nullptr);

// A preset read and its values read as `settings` takes them (the same errors as
// applyPreset), to be applied later.
struct PresetSettings
{
    std::vector<ParameterSettings::Value> values;
    transmission::TransmissionSettings transmission; // inactive when it holds none
    space::SpaceSettings space;                      // inactive when it names none
};
PresetSettings readPresetSettings(const ParameterSettings& settings, const std::string& nameOrPath);

// Every property in the preset-file form: numbers, true/false for switches, list entries by
// their text; the description first when there is one, the transmission last when active.
nlohmann::ordered_json presetJson(const ParameterSettings& settings, const std::string& description = {},
                                  const transmission::TransmissionSettings& transmission = {},
                                  const space::SpaceSettings& space = {});

// JSON text from a settings file or chunk, `check` seeing each value as it is read (nlohmann's
// parser callback, which may throw to refuse); a parse error is a UsageError saying `origin`,
// the line and column, and an excerpt of what was read.
nlohmann::ordered_json parseSettingsJson(const std::string& text, const std::string& origin,
                                         const nlohmann::ordered_json::parser_callback_t& check = nullptr);

// The "transmission" object of a preset file.
nlohmann::ordered_json transmissionJson(const transmission::TransmissionSettings& transmission,
                                        const space::SpaceSettings& space = {});
// Reads it back ("codec", "loss" and "radio" texts; radio also true/false); throws UsageError
// saying `where`.
transmission::TransmissionSettings readTransmission(const nlohmann::ordered_json& object, const std::string& where);
// Its "space" (inactive without one); throws UsageError saying `where`.
space::SpaceSettings readSpace(const nlohmann::ordered_json& object, const std::string& where);

// Writes every property to a preset file, all or nothing; an existing file is replaced
// only when `replace` is set (IoError otherwise).
void savePreset(const ParameterSettings& settings, const std::string& path, bool replace,
                const std::string& description = {}, const transmission::TransmissionSettings& transmission = {},
                const space::SpaceSettings& space = {});
