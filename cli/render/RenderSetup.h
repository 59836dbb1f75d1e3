// What a render's options come to before any file is planned: the settings (from --like,
// --bank, --preset and --set), the variation to draw, the loudness, sample format and
// delivery format; and, per file, the seed and the settings with the variation drawn.
#pragma once

#include "cli/commands/RenderCommand.h"
#include "cli/render/RenderJobs.h"
#include "cli/render/Variation.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RenderSetup
{
    explicit RenderSetup(const quarl::PluginDescription& description) : settings(description) {}

    ParameterSettings settings;       // before the variation
    std::vector<std::uint8_t> block;  // the settings' parameter block
    std::vector<VariationSpec> vary;
    LoudnessTarget loudness;
    SampleFormat sampleFormat = SampleFormat::Automatic;
    DeliveryFormat delivery;
    std::string preset;               // as given (or as --like's file names it): names and metadata
    std::optional<std::uint64_t> seed; // every file's, else each its own from its output's name
    std::vector<VariedValue> likeVaried; // what --like's file drew, carried on
    std::vector<std::string> settingFiles; // files the settings come from: never written over
    // As the metadata tells them.
    std::string sampleFormatText;
    std::optional<double> loudnessLufs;
};

// Throws UsageError for options that cannot go together or values out of range.
RenderSetup setUpRender(const RenderOptions& options);

// Gives a job its seed and, unless planning decided it already, its own settings: the
// variation drawn for the seed, and the metadata its output carries.
void prepareJob(const RenderSetup& setup, RenderJob& job);
