#include "cli/render/RenderSetup.h"

#include "cli/io/QuotedText.h"
#include "cli/render/DeliveryOptions.h"
#include "cli/render/EffectHost.h"
#include "cli/render/RenderProvenance.h"
#include "cli/settings/Presets.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/UsageError.h"

#include <cstdlib>
#include <filesystem>

namespace
{
// SOURCE_DATE_EPOCH as build tools take it: whole seconds since 1970; unset or empty: none.
std::optional<std::int64_t> sourceDateEpoch()
{
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (text == nullptr || *text == '\0')
        return std::nullopt;
    const std::string value = text;
    const bool digits = value.size() <= 18 && value.find_first_not_of("0123456789") == std::string::npos;
    if (!digits)
        throw UsageError("SOURCE_DATE_EPOCH holds " + quoted(value, kQuotedExcerptBytes) +
                         ", not a whole number of seconds since 1970");
    return std::stoll(value);
}

// The source's path as recorded: relative to the line list's folder for a row.
std::string givenPath(const std::string& input, const std::string& lineList)
{
    if (lineList.empty())
        return input;
    const std::filesystem::path folder = std::filesystem::path(lineList).parent_path();
    if (folder.empty())
        return input;
    const std::filesystem::path relative = std::filesystem::path(input).lexically_relative(folder);
    return relative.empty() || *relative.begin() == ".." ? input : relative.string();
}
} // namespace

RenderSetup readRenderOptions(const RenderOptions& options)
{
    const EffectHost& host = EffectHost::instance();
    RenderSetup setup(host.description());
    std::optional<RenderRecipe> like;
    if (!options.like.empty())
    {
        if (!options.bankFile.empty())
            throw UsageError("give either --like FILE.wav or --bank FILE, not both: each gives every setting");
        like = readRecipe(options.like, host.description());
        setup.settingFiles.push_back(options.like);
        setup.likeFile = options.like;
        setup.likeSource = like->source;
    }

    checkLoudnessChoice(options.loudness, options.matchLoudness);
    RenderRecipe& recipe = setup.recipe;
    if (options.loudness)
        recipe.loudness = options.loudness;
    else if (!options.matchLoudness && like && !like->matchLoudness)
        recipe.loudness = like->loudness;
    recipe.matchLoudness =
        !recipe.loudness && (options.matchLoudness || (like && like->matchLoudness && !options.loudness));

    if (!options.sampleFormat.empty() || options.bits != 0)
    {
        recipe.format = sampleFormatOf(options.sampleFormat, options.bits);
        recipe.sampleFormat =
            !options.sampleFormat.empty() ? options.sampleFormat : "pcm" + std::to_string(options.bits);
    }
    else if (like)
    {
        recipe.format = like->format;
        recipe.sampleFormat = like->sampleFormat;
    }

    checkDeliveryRate(options.rate);
    checkChannels(options.channels);
    recipe.delivery.sampleRate = options.rate != 0 ? options.rate : like ? like->delivery.sampleRate : 0;
    recipe.delivery.channels = options.channels != 0 ? options.channels : like ? like->delivery.channels : 0;
    recipe.delivery.dither = !options.dither.empty() ? ditherOf(options.dither) : like ? like->delivery.dither : true;

    if (!options.bankFile.empty())
        setup.settingFiles.push_back(options.bankFile);
    if (!options.preset.empty() && findFactoryPreset(options.preset) == nullptr)
        setup.settingFiles.push_back(options.preset);
    if (like)
        setup.start.loadBlock(like->block);
    else if (!options.bankFile.empty())
        setup.start.loadBlock(readBankFile(options.bankFile, blockSizeOf(host.description())));
    if (!options.preset.empty())
    {
        PresetSettings preset = readPresetSettings(setup.start, options.preset);
        setup.preset = std::move(preset.values);
        setup.presetTransmission = preset.transmission;
        setup.presetSpace = preset.space;
    }
    else if (like && like->transmission)
    {
        setup.presetTransmission = *like->transmission;
        setup.presetSpace = like->space;
    }
    else if (const FactoryPreset* shipped = like ? findFactoryPreset(like->preset) : nullptr)
    {
        setup.presetTransmission = shipped->transmission; // a file whose recipe names no transmission
        setup.presetSpace = shipped->space;
    }
    for (const auto& assignment : options.assignments)
        setup.assignments.push_back(setup.start.readAssignment(assignment));
    if (like)
        recipe.varied = like->varied;
    // Read before anything renders: an unknown or missing codec stops the command here.
    setup.transmission = readTransmissionOptions(options.transmission);
    recipe.preset = !options.preset.empty() ? options.preset : like ? like->preset : std::string();
    for (const auto& text : options.vary)
        setup.vary.push_back(parseVariation(host.description(), text));
    setup.seed = options.seed ? options.seed : like ? std::optional<std::uint64_t>(like->seed) : std::nullopt;
    setup.lineList = options.lines;
    setup.stampSeconds = sourceDateEpoch();
    setup.reproducible = options.reproducible;
    setup.epoch = options.epoch;
    return setup;
}

void completeSetup(RenderSetup& setup)
{
    setup.settings = setup.start;
    for (const ParameterSettings::Value& v : setup.preset)
        setup.settings.apply(v);
    for (const ParameterSettings::Value& v : setup.assignments)
        setup.settings.apply(v);
    setup.recipe.transmission = transmissionFrom(setup.presetTransmission, setup.transmission);
    setup.recipe.space = spaceFrom(setup.presetSpace, setup.transmission);
    // The block the host's bank would hold: written by the plugin object from its properties.
    setup.recipe.block = EffectHost::instance().bankBlock(setup.settings);
}

RenderSetup setUpRender(const RenderOptions& options)
{
    RenderSetup setup = readRenderOptions(options);
    completeSetup(setup);
    return setup;
}

PreparedJob prepareJob(const RenderJob& job, bool describe)
{
    const RenderSetup& setup = *job.setup;
    auto recipe = std::make_shared<RenderRecipe>(setup.recipe);
    recipe->seed = setup.seed ? *setup.seed : seedFromName(job.output);
    if (setup.epoch != 0)
        recipe->seed = mixedSeed(recipe->seed, setup.epoch);
    // Each file draws its own variation, also when every file shares one seed.
    const std::uint64_t drawn = setup.seed ? mixedSeed(recipe->seed, seedFromName(job.output)) : recipe->seed;
    recipe->input = std::filesystem::path(job.input).filename().string();
    if (const std::optional<FileStamp> stamp = job.input.empty() ? std::nullopt : fileStamp(job.input))
        recipe->source = SourceRecord{givenPath(job.input, setup.lineList), setup.lineList, job.row, *stamp, {}};
    PreparedJob prepared;
    if (job.status == JobOutcome::Status::Rendered)
    {
        ParameterSettings settings = setup.settings;
        std::vector<VariedValue> varied = applyVariation(settings, setup.vary, drawn);
        if (!varied.empty())
        {
            recipe->varied = std::move(varied);
            recipe->block = EffectHost::instance().bankBlock(settings);
        }
        if (describe)
        {
            if (recipe->source)
                recipe->source->hash = contentHash(job.input);
            prepared.metadata = describeRender(*recipe, settings);
            if (setup.stampSeconds)
                prepared.metadata.stampSeconds = setup.stampSeconds;
            else if (setup.reproducible)
                prepared.metadata.stampSeconds = recipe->source ? recipe->source->stamp.modifiedNs / 1000000000 : 0;
        }
    }
    prepared.recipe = std::move(recipe);
    return prepared;
}
