// How an output was made, as its WAV file carries it (see BextChunk): the tool and version,
// the preset, the settings that differ from the defaults and the variation drawn in the
// bext description and coding history, where a reader of Broadcast Wave finds them; every
// setting, the seed and the delivery format in the tool's own chunk, which `crumlet render
// --like` and `crumlet info` read back.
#pragma once

#include "cli/io/BextChunk.h"
#include "cli/io/AudioFiles.h"
#include "cli/render/DeliveryFormat.h"
#include "cli/render/LoudnessTarget.h"
#include "cli/render/Variation.h"
#include "cli/settings/ParameterSettings.h"
#include "space/SpaceSettings.h"
#include "transmission/TransmissionSettings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a render is made with, beyond its input: one per file, made once from the options
// (and a line's cells) and read by the render; the file carries it as it stands.
struct RenderRecipe
{
    std::string tool;    // the tool and its version that made the file
    std::string preset;  // as it was given (a shipped preset's name or a file's path), or empty
    std::vector<std::uint8_t> block; // every setting, the variation drawn included
    std::uint64_t seed = 0;
    DeliveryFormat delivery;         // the rate and channels delivered, the dither
    std::string sampleFormat;        // as --format takes it, empty: automatic
    SampleFormat format = SampleFormat::Automatic; // what that text reads as
    std::optional<double> loudness;  // LUFS
    bool matchLoudness = false;
    std::vector<VariedValue> varied;
    // What followed the effect (inactive: nothing); unset when read from a file whose settings
    // chunk has no "transmission".
    std::optional<transmission::TransmissionSettings> transmission;
    space::SpaceSettings space;      // where it was heard, after the transmission; none: inactive
    std::string input;               // the input's file name, for the reader

    LoudnessTarget loudnessTarget() const;
};

// A recipe's texts (the preset's name or path, the input's name, the tool, a value drawn) as a
// file carries them: at most this many bytes, the longest path Linux takes, and no NUL.
constexpr std::size_t kMostRecipeTextBytes = 4096;

// The metadata a WAV output carries for `recipe`, whose block `settings` holds. Throws
// UsageError when its settings chunk would be larger than kMostSettingsChunkBytes.
OutputMetadata describeRender(const RenderRecipe& recipe, const ParameterSettings& settings);

// The settings chunk's JSON as an object, for `crumlet info --json`.
std::string recipeJson(const RenderRecipe& recipe, const ParameterSettings& settings);

// Reads the recipe back from a file's metadata (`metadata`, read from `path`) and checks each
// of its values with the command line's check of the option that gives it: the seed as
// --seed's, the rate as --rate's, the channels as --channels', the loudness as --loudness'
// and --match-loudness', the format as --format's, the dither as --dither's, the transmission
// as --codec's, --loss' and --radio's, the block as --bank's, each value drawn as --set's.
// Throws UsageError naming the file and the field, or saying the file carries no recipe (or
// one left unread, see readMetadata); IoError when the file cannot be read.
RenderRecipe readRecipe(const std::string& path, const OutputMetadata& metadata,
                        const quarl::PluginDescription& description);
// The same, the metadata read from `path`.
RenderRecipe readRecipe(const std::string& path, const quarl::PluginDescription& description);

// "NAME=VALUE" for each setting that differs from its default.
std::vector<std::string> changedSettings(const ParameterSettings& settings);
