// The effect's stored forms under test: the parameter block the plugin object writes from
// its property set, preset files, and blocks of the wrong size or full of garbage.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <cstdint>
#include <string>

class EffectHost;

// Each answers the first fault found, or an empty text.

// Random settings → property set → block → property set → block: both blocks equal.
std::string checkBlockRoundTrip(const EffectHost& host, std::uint64_t seed, int rounds);

// Random settings saved as a preset, loaded and saved again: both files and both blocks equal.
std::string checkPresetRoundTrip(const EffectHost& host, std::uint64_t seed, int rounds);

// Blocks of every wrong size, and null blocks, are refused with 31 by the parameter object
// (made from them or handed them) and by the tool's bank-file reader; the effect then
// plays on with the values it had.
std::string checkWrongSizeBlocks(const EffectHost& host);
