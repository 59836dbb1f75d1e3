// What a render's options come to before any file is planned: the settings (from --like,
// --bank, --preset and --set), the variation to draw, and the recipe every file starts from;
// then, per file, its own recipe: its seed and the settings with the variation drawn.
#pragma once

#include "cli/render/RenderOptions.h"
#include "cli/render/RenderJobs.h"
#include "cli/render/RenderProvenance.h"
#include "cli/render/Variation.h"
#include "cli/settings/TransmissionOptions.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct RenderSetup
{
    explicit RenderSetup(const quarl::PluginDescription& description) : start(description), settings(description) {}

    // The settings in layers, each read once: where they start (the defaults, --bank's block
    // or --like's), the preset's values over them, then the --set assignments in order. A
    // line's cells replace the preset and add assignments.
    ParameterSettings start;
    std::vector<ParameterSettings::Value> preset;
    std::vector<ParameterSettings::Value> assignments;
    // The preset's transmission (or the one --like's file recorded), then what --codec,
    // --loss and --radio change.
    transmission::TransmissionSettings presetTransmission;
    space::SpaceSettings presetSpace; // the preset's space (or --like's file's)
    TransmissionChoice transmission;
    std::vector<VariationSpec> vary;
    std::optional<std::uint64_t> seed; // every file's, else each its own from its output's name
    std::uint64_t epoch = 0;           // mixed into every file's seed when not 0
    std::vector<std::string> settingFiles; // files the settings come from: never written over
    std::string lineList; // the line list the rows come from, recorded with each source
    // The date and time a file records: SOURCE_DATE_EPOCH's when it is set, else with
    // --reproducible the source's modification time (the demo's: 1970), else the clock's.
    std::optional<std::int64_t> stampSeconds;
    bool reproducible = false;
    // --like's file and the source it records (unset when it records none).
    std::string likeFile;
    std::optional<SourceRecord> likeSource;
    // Every file's recipe before its seed, variation and input: the preset as given (or as
    // --like's file names it), the delivery and sample formats, the loudness, what --like's
    // file drew; its block and transmission once the setup is complete.
    RenderRecipe recipe;
    ParameterSettings settings; // the layers applied, before the variation (once complete)
};

// Reads every option once; throws UsageError for options that cannot go together or values
// out of range.
RenderSetup readRenderOptions(const RenderOptions& options);

// Applies the layers: the settings, their parameter block and the transmission. Throws
// UsageError (loss without a codec).
void completeSetup(RenderSetup& setup);

// Both of the above.
RenderSetup setUpRender(const RenderOptions& options);

// A job's recipe and the metadata its output carries, made from its setup when it renders
// (a plan of a million lines keeps one setup per distinct line, not a recipe per file).
struct PreparedJob
{
    std::shared_ptr<const RenderRecipe> recipe;
    OutputMetadata metadata;
};

// The job's recipe: its seed (the setup's, else from its output's name), the variation drawn
// for it and its input, its source's size and time; with the source's hash and the metadata
// when `describe` (a job that renders).
PreparedJob prepareJob(const RenderJob& job, bool describe = true);
