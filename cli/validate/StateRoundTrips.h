// The effect's stored forms under test: the parameter block the plugin object writes from
// its property set, preset files, and blocks of the wrong size or full of garbage.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "cli/settings/ParameterSettings.h"

#include <cstdint>
#include <random>
#include <string>

class EffectHost;

// Values at both ends of every range and anywhere inside, as the user can set them.
ParameterSettings randomSettings(const quarl::PluginDescription& description, std::mt19937_64& random);

// A file of the check's own in the system's temporary folder, and a file's bytes.
std::string validationScratchPath(const std::string& name);
std::string readScratchFile(const std::string& path);

// Each answers the first fault found, or an empty text.

// Random settings → property set → block → property set → block: both blocks equal.
std::string checkBlockRoundTrip(const EffectHost& host, std::uint64_t seed, int rounds);

// Random settings saved as a preset, loaded and saved again: both files and both blocks equal.
std::string checkPresetRoundTrip(const EffectHost& host, std::uint64_t seed, int rounds);

// Blocks of every wrong size, and null blocks, are refused with 31 by the parameter object
// (made from them or handed them) and by the tool's bank-file reader; the effect then
// plays on with the values it had.
std::string checkWrongSizeBlocks(const EffectHost& host);
