// How an output was made, as its file carries it (see BextChunk): the tool and version, the
// preset, the settings that differ from the defaults and the variation drawn in a WAV file's
// bext description and coding history, where a reader of Broadcast Wave finds them; every
// setting, the seed, the delivery format and the source in the recipe (the tool's own chunk,
// or a comment), which `crumlet render --like`, `--update` and `crumlet info` read back.
#pragma once

#include "cli/io/BextChunk.h"
#include "cli/io/AudioFiles.h"
#include "cli/io/ContentHash.h"
#include "cli/render/DeliveryFormat.h"
#include "cli/render/LoudnessTarget.h"
#include "cli/render/Variation.h"
#include "cli/settings/ParameterSettings.h"
#include "space/SpaceSettings.h"
#include "transmission/TransmissionSettings.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The source a file was made from, as its recipe records it.
struct SourceRecord
{
    std::string path; // as given: relative to the line list's folder for a row, else as --in named it
    std::string list; // the line list, or empty
    std::size_t row = 0; // the list's row (as a spreadsheet numbers it), 0: none
    FileStamp stamp;
    std::string hash; // contentHash of its bytes; empty: not hashed
};

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
    std::optional<SourceRecord> source; // unset: the demo, a pipe, or a file made before sources were recorded

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

// Why `input` does not look like the source `recorded` says a file was made from, or empty:
// its name differs ("its name is ..."), its bytes differ (compared by size and time, and by
// their hash when those differ).
std::string sourceMismatch(const SourceRecord& recorded, const std::string& input);

// True when the source at `input` holds the bytes `recorded` describes: the same size and time
// are trusted, otherwise the hashes are compared (a file touched but unchanged is the same).
bool sameSourceBytes(const SourceRecord& recorded, const std::string& input);

// The recipe JSON the file at `path` carries (read from its header, never its audio), or null
// when it is not audio or carries no recipe of the tool.
nlohmann::ordered_json recordedRecipe(const std::string& path);

// The recipe's values that make the sound and the file (the settings, the seed, the delivery
// and sample formats, the loudness, the variation, the transmission and the space) as the
// recipe's JSON holds them, for comparing a file's recipe with a render's.
nlohmann::ordered_json soundRecipe(const RenderRecipe& recipe);

// "NAME=VALUE" for each setting that differs from its default.
std::vector<std::string> changedSettings(const ParameterSettings& settings);
