// WAV files' metadata chunks as `crumlet info` and `crumlet render --like` read them: any bytes.
// The chunk reader reads no more than its bound whatever a size claims (no single allocation
// past a few megabytes while reading); a refusal is a message of a few lines; a recipe it
// accepts passes the command line's check of each option that gives its values, and written
// again into a file's chunks as a render writes it, reads back the same.
#include "cli/io/AudioFiles.h"
#include "cli/io/BextChunk.h"
#include "cli/render/DeliveryOptions.h"
#include "cli/render/RenderProvenance.h"
#include "cli/settings/ParameterSettings.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"
#include "fuzz/FuzzDescription.h"
#include "fuzz/FuzzFiles.h"

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace
{
// Far above what reading a file's header and a settings chunk of its bound takes, far below
// what a size that lies would have taken.
constexpr std::size_t kMostAllocationBytes = 4u << 20;
std::size_t g_largestAllocation = 0;

void noteAllocation(const volatile void*, std::size_t size)
{
    g_largestAllocation = std::max(g_largestAllocation, size);
}

void noteFree(const volatile void*)
{
}

// Reads the file's metadata and its recipe; aborts when reading allocates past the bound or
// a refusal is longer than a few lines.
std::optional<RenderRecipe> readBounded(const std::string& path)
{
    g_largestAllocation = 0;
    std::optional<RenderRecipe> recipe;
    try
    {
        const OutputMetadata metadata = readMetadata(path);
        if (metadata.settingsJson.size() > kMostSettingsChunkBytes)
            std::abort();
        recipe = readRecipe(path, metadata, fuzzDescription());
    }
    catch (const IoError&)
    {
        // Not audio libsndfile opens.
    }
    catch (const UsageError& e)
    {
        if (std::strlen(e.what()) > 1024)
            std::abort();
    }
    if (g_largestAllocation > kMostAllocationBytes)
        std::abort();
    return recipe;
}

// The command line's checks of the options that give a recipe's values, each throwing
// UsageError (uncaught here: a finding) for a value it refuses.
void checkAsTheCommandLine(const RenderRecipe& recipe)
{
    checkLoudnessChoice(recipe.loudness, recipe.matchLoudness);
    checkDeliveryRate(recipe.delivery.sampleRate);
    checkChannels(recipe.delivery.channels);
    seedOf(std::to_string(recipe.seed));
    if (!recipe.sampleFormat.empty() && sampleFormatOf(recipe.sampleFormat, 0) != recipe.format)
        std::abort();
    if (recipe.transmission)
        readTransmission(transmissionJson(*recipe.transmission), "the recipe");
    ParameterSettings settings(fuzzDescription());
    for (const VariedValue& v : recipe.varied)
        settings.read(v.property, v.text);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    __sanitizer_install_malloc_and_free_hooks(noteAllocation, noteFree);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = fuzzScratchPath("in.wav"), again = fuzzScratchPath("again.wav");
    writeFile(input, data, size);
    const std::optional<RenderRecipe> recipe = readBounded(input);
    std::remove(input.c_str());
    if (!recipe)
        return 0;
    checkAsTheCommandLine(*recipe);

    ParameterSettings settings(fuzzDescription());
    settings.loadBlock(recipe->block);
    OutputMetadata described;
    try
    {
        described = describeRender(*recipe, settings);
    }
    catch (const UsageError&)
    {
        // Too large for a settings chunk once written whole: refused before a file is made.
        return 0;
    }
    {
        const float frame = 0.f;
        AudioWriter writer(again, again, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, 1);
        if (!writer.describeWith(described).empty() || !writer.write(&frame, 1) || !writer.close().empty())
            std::abort();
    }
    const RenderRecipe read = readRecipe(again, fuzzDescription());
    std::remove(again.c_str());
    ParameterSettings readSettings(fuzzDescription());
    readSettings.loadBlock(read.block);
    if (recipeJson(read, readSettings) != recipeJson(*recipe, settings) || read.format != recipe->format)
        std::abort();
    return 0;
}
