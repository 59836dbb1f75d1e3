#include "cli/validate/RecipeChunks.h"

#include "cli/io/AudioFiles.h"
#include "cli/io/BextChunk.h"
#include "cli/io/RiffChunks.h"
#include "cli/render/DeliveryOptions.h"
#include "cli/render/EffectHost.h"
#include "cli/render/RenderProvenance.h"
#include "cli/render/Variation.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"
#include "cli/validate/StateRoundTrips.h"
#include "space/SpaceCatalogue.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

using nlohmann::ordered_json;

namespace
{
constexpr std::uint32_t kFrames = 480;

// `recipe` written into a 16-bit WAV file as a render writes it; the reason when it is not.
std::string writeRecipe(const std::string& path, const RenderRecipe& recipe, const ParameterSettings& settings)
{
    const std::vector<float> silence(kFrames, 0.f);
    AudioWriter writer(path, path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, kFrames);
    std::string error = writer.describeWith(describeRender(recipe, settings));
    if (error.empty() && !writer.write(silence.data(), kFrames))
        error = "a write failed";
    const std::string closed = writer.close();
    return error.empty() ? closed : error;
}

// A recipe as a render makes one: its settings (given random values), a shipped preset's
// name, transmission and space or none (or another space), a delivery, a loudness, and a few
// properties varied.
RenderRecipe randomRecipe(const EffectHost& host, std::mt19937_64& random, ParameterSettings& settings)
{
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const quarl::PluginDescription& description = host.description();
    settings = randomSettings(description, random);
    RenderRecipe r;
    const auto& shipped = factoryPresets();
    const std::size_t preset = pick(shipped.size() + 1);
    r.preset = preset < shipped.size() ? shipped[preset].name : std::string();
    r.transmission = preset < shipped.size() ? shipped[preset].transmission : transmission::TransmissionSettings{};
    r.space = preset < shipped.size() ? shipped[preset].space : space::SpaceSettings{};
    if (pick(4) == 0)
        r.space = space::parseSpace(space::spaceCatalogue()[pick(space::spaceCatalogue().size())].name +
                                    std::string(":mix=") + std::to_string(pick(101)) +
                                    ":predelay=" + std::to_string(pick(200)));
    r.input = "line " + std::to_string(pick(1000)) + ".wav";
    r.seed = random();
    const std::uint32_t rates[] = {0, kLowestDeliveryRate, 44100, 48000, kHighestDeliveryRate};
    r.delivery.sampleRate = rates[pick(std::size(rates))];
    r.delivery.channels = static_cast<std::uint32_t>(pick(2));
    r.delivery.dither = pick(2) == 0;
    const char* formats[] = {"", "pcm16", "pcm24", "float", "same"};
    r.sampleFormat = formats[pick(std::size(formats))];
    r.format = sampleFormatOf(r.sampleFormat, 0);
    const std::size_t loudness = pick(3);
    if (loudness == 0)
        r.loudness = std::uniform_real_distribution<double>(-70.0, 0.0)(random);
    r.matchLoudness = loudness == 1;
    std::vector<VariationSpec> vary;
    for (std::size_t i = 0; i < description.properties.size(); ++i)
    {
        const quarl::PropertyDescription& p = description.properties[i];
        if (p.type != quarl::PropertyType::Bool && pick(8) == 0)
            vary.push_back({i, (p.maxValue - p.minValue) / 4});
    }
    r.varied = applyVariation(settings, vary, r.seed);
    r.block = host.bankBlock(settings);
    return r;
}

// The refusal of reading `path`'s recipe, empty when it was read.
std::string refusal(const EffectHost& host, const std::string& path)
{
    try
    {
        readRecipe(path, host.description());
    }
    catch (const UsageError& e)
    {
        return e.what();
    }
    return {};
}
} // namespace

std::string checkRecipeRoundTrip(const EffectHost& host, std::uint64_t seed, int rounds)
{
    std::mt19937_64 random(seed);
    const std::string path = validationScratchPath("recipe.wav");
    std::string failure;
    for (int round = 0; round < rounds && failure.empty(); ++round)
    {
        ParameterSettings settings(host.description());
        const RenderRecipe written = randomRecipe(host, random, settings);
        const std::string at = "round " + std::to_string(round) + ": ";
        if (const std::string error = writeRecipe(path, written, settings); !error.empty())
        {
            failure = at + "the file was not written: " + error;
            break;
        }
        try
        {
            const RenderRecipe read = readRecipe(path, host.description());
            ParameterSettings readSettings(host.description());
            readSettings.loadBlock(read.block);
            if (recipeJson(read, readSettings) != recipeJson(written, settings))
                failure = at + "the recipe read back differs from the one written";
            else if (read.format != written.format)
                failure = at + "the sample format read back differs";
        }
        catch (const UsageError& e)
        {
            failure = at + "the recipe written was refused: " + e.what();
        }
    }
    std::remove(path.c_str());
    return failure;
}

std::string checkHostileRecipeChunks(const EffectHost& host, std::string& note)
{
    const std::string good = validationScratchPath("recipe.wav"), bad = validationScratchPath("hostile.wav");
    const ParameterSettings defaults(host.description());
    RenderRecipe recipe;
    recipe.block = host.bankBlock(defaults);
    recipe.transmission = transmission::TransmissionSettings{};
    if (const std::string error = writeRecipe(good, recipe, defaults); !error.empty())
        return "a recipe was not written: " + error;
    const std::vector<RiffChunk> chunks = riffChunks(readScratchFile(good));
    const OutputMetadata written = readMetadata(good);
    std::remove(good.c_str());
    auto writeBad = [&](const std::vector<RiffChunk>& c) { std::ofstream(bad, std::ios::binary) << riffBytes(c); };
    int cases = 0;
    std::string failure;

    // Sizes that lie: the settings chunk last, claiming more than the bound or the file holds.
    for (const std::uint32_t claimed : {0xfffffff0u, 0x7fffffffu, static_cast<std::uint32_t>(kMostSettingsChunkBytes + 4),
                                        static_cast<std::uint32_t>(kMostSettingsChunkBytes)})
    {
        std::vector<RiffChunk> lying = chunks;
        moveChunkLast(lying, kSettingsChunkId, claimed);
        writeBad(lying);
        ++cases;
        const OutputMetadata m = readMetadata(bad);
        if (!m.settingsJson.empty() || m.settingsUnread.empty())
            failure = "a settings chunk claiming " + std::to_string(claimed) + " bytes was read";
        else if (refusal(host, bad).find("\"" + bad + "\"") == std::string::npos)
            failure = "a settings chunk claiming " + std::to_string(claimed) + " bytes was not refused naming the file";
        if (!failure.empty())
            break;
    }

    // Values the command line refuses, texts longer than a path, nesting deeper than a recipe's.
    const std::pair<const char*, ordered_json> values[] = {
        {"loudness", 1e308},
        {"loudness", 200},
        {"rate", 1e12},
        {"channels", 1e9},
        {"seed", "-1"},
        {"format", "pcm12"},
        {"dither", "shaped"},
        {"block", "00"},
        {"preset", std::string(kMostRecipeTextBytes + 1, 'p')},
        {"input", std::string("a\0b", 3)},
        {"variation", {{"NoSuchProperty", {{"value", 0}, {"offset", 0}, {"text", "0"}}}}},
        {"variation", {{"SIMTuning", {{"value", {{"deeper", {1}}}}}}}},
        {"transmission", {{"codec", "none"}, {"loss", "5%"}}},
    };
    for (const auto& [field, value] : values)
    {
        if (!failure.empty())
            break;
        std::vector<RiffChunk> changed = chunks;
        ordered_json j = ordered_json::parse(written.settingsJson);
        j[field] = value;
        OutputMetadata metadata;
        metadata.settingsJson = j.dump();
        replaceChunk(changed, kSettingsChunkId, settingsChunkBytes(metadata));
        writeBad(changed);
        ++cases;
        const std::string said = refusal(host, bad);
        if (said.find("\"" + bad + "\": its settings chunk: \"" + field + "\"") == std::string::npos)
            failure = std::string("a recipe whose \"") + field + "\" is " + value.dump().substr(0, 40) +
                      (said.empty() ? " was read" : " was refused without naming the file and field: " + said);
    }
    std::remove(bad.c_str());

    // Texts that would make the chunk larger than it holds: refused as the recipe is described.
    if (failure.empty())
    {
        recipe.preset = std::string(kMostRecipeTextBytes, '\x01'); // six bytes each in JSON
        recipe.input = recipe.preset;
        ++cases;
        try
        {
            describeRender(recipe, defaults);
            failure = "a recipe too large for its chunk was described";
        }
        catch (const UsageError&)
        {
        }
    }
    note = std::to_string(cases) + " chunks";
    return failure;
}
