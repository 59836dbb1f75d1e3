#include "cli/render/RenderSetup.h"

#include "cli/render/DeliveryOptions.h"
#include "cli/render/EffectHost.h"
#include "cli/render/RenderProvenance.h"
#include "cli/settings/Presets.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/UsageError.h"

#include <filesystem>

RenderSetup setUpRender(const RenderOptions& options)
{
    const EffectHost& host = EffectHost::instance();
    RenderSetup setup(host.description());
    std::optional<RenderRecipe> like;
    if (!options.like.empty())
    {
        if (!options.bankFile.empty())
            throw UsageError("give either --like FILE.wav or --bank FILE, not both: each gives every setting");
        like = readRecipe(options.like);
        setup.settingFiles.push_back(options.like);
    }

    if (options.matchLoudness && options.loudness)
        throw UsageError("give either --match-loudness or --loudness LUFS, not both");
    if (options.loudness)
        setup.loudnessLufs = checkedLoudness(*options.loudness);
    else if (!options.matchLoudness && like && !like->matchLoudness)
        setup.loudnessLufs = like->loudness;
    if (setup.loudnessLufs)
        setup.loudness = {LoudnessTarget::Mode::Fixed, *setup.loudnessLufs};
    else if (options.matchLoudness || (like && like->matchLoudness && !options.loudness))
        setup.loudness = {LoudnessTarget::Mode::MatchInput, 0.0};

    setup.sampleFormat = sampleFormatOf(options.sampleFormat, options.bits);
    setup.sampleFormatText = !options.sampleFormat.empty() ? options.sampleFormat
                             : options.bits != 0           ? "pcm" + std::to_string(options.bits)
                             : like                        ? like->sampleFormat
                                                           : std::string();
    if (options.sampleFormat.empty() && options.bits == 0 && like && !like->sampleFormat.empty())
        setup.sampleFormat = parseSampleFormat(like->sampleFormat);

    checkDeliveryRate(options.rate);
    checkChannels(options.channels);
    setup.delivery.sampleRate = options.rate != 0 ? options.rate : like ? like->delivery.sampleRate : 0;
    setup.delivery.channels = options.channels != 0 ? options.channels : like ? like->delivery.channels : 0;
    setup.delivery.dither = !options.dither.empty() ? ditherOf(options.dither) : like ? like->delivery.dither : true;

    if (!options.bankFile.empty())
        setup.settingFiles.push_back(options.bankFile);
    if (!options.preset.empty() && findFactoryPreset(options.preset) == nullptr)
        setup.settingFiles.push_back(options.preset);
    transmission::TransmissionSettings presetTransmission;
    if (like)
    {
        setup.settings.loadBlock(like->block);
        if (!options.preset.empty())
            applyPreset(setup.settings, options.preset, &presetTransmission);
        else if (like->transmission)
            presetTransmission = *like->transmission;
        else if (const FactoryPreset* shipped = findFactoryPreset(like->preset))
            presetTransmission = shipped->transmission; // a file from before renders recorded it
        for (const auto& assignment : options.assignments)
            setup.settings.assign(assignment);
        setup.likeVaried = like->varied;
    }
    else
    {
        setup.settings =
            settingsFrom(host.description(), options.bankFile, options.preset, options.assignments, &presetTransmission);
    }
    // Read before anything renders: an unknown or missing codec stops the command here.
    setup.transmission = transmissionFrom(presetTransmission, options.transmission);
    setup.preset = !options.preset.empty() ? options.preset : like ? like->preset : std::string();
    for (const auto& text : options.vary)
        setup.vary.push_back(parseVariation(host.description(), text));
    setup.seed = options.seed ? options.seed : like ? std::optional<std::uint64_t>(like->seed) : std::nullopt;
    // The block the host's bank would hold: written by the plugin object from its properties.
    setup.block = host.bankBlock(setup.settings);
    return setup;
}

void prepareJob(const RenderSetup& setup, RenderJob& job)
{
    job.seed = setup.seed ? *setup.seed : seedFromName(job.output);
    if (job.status != JobOutcome::Status::Rendered)
        return;
    auto file = std::make_shared<FileSettings>();
    ParameterSettings settings = setup.settings;
    file->varied = applyVariation(settings, setup.vary, job.seed);
    file->block = file->varied.empty() ? setup.block : EffectHost::instance().bankBlock(settings);
    if (file->varied.empty())
        file->varied = setup.likeVaried;
    file->sampleFormat = setup.sampleFormat;
    file->loudness = setup.loudness;
    file->delivery = setup.delivery;
    file->transmission = setup.transmission;

    RenderRecipe recipe;
    recipe.preset = setup.preset;
    recipe.block = file->block;
    recipe.seed = job.seed;
    recipe.delivery = setup.delivery;
    recipe.sampleFormat = setup.sampleFormatText;
    recipe.loudness = setup.loudnessLufs;
    recipe.matchLoudness = setup.loudness.mode == LoudnessTarget::Mode::MatchInput;
    recipe.varied = file->varied;
    recipe.transmission = setup.transmission;
    recipe.input = std::filesystem::path(job.input).filename().string();
    file->metadata = describeRender(recipe, settings);
    job.settings = std::move(file);
}
