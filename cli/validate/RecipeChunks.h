// Recipes in WAV files, as a render writes them and `render --like` and `info` read them back:
// random recipes through the chunk writer and reader, and settings chunks built to break the
// reader.
#pragma once

#include <cstdint>
#include <string>

class EffectHost;

// Each answers the first fault found, or an empty text.

// Random recipes (settings, variation drawn, delivery, loudness, transmission) written into a
// 16-bit WAV file's chunks as a render writes them, read back: the same recipe, field for
// field, and the file reads back whole.
std::string checkRecipeRoundTrip(const EffectHost& host, std::uint64_t seed, int rounds);

// Settings chunks that claim more bytes than the bound or the file, values the command line
// refuses, texts longer than a path, nesting deeper than a recipe's: each refused as a usage
// error naming the file (and the field), a lying size left unread; and a recipe too large for
// its chunk refused as it is made, before a file is written.
std::string checkHostileRecipeChunks(const EffectHost& host, std::string& note);
