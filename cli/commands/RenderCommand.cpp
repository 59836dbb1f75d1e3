#include "cli/commands/RenderCommand.h"

#include "cli/render/BatchPlan.h"
#include "cli/render/LinePlan.h"
#include "cli/render/OutputNames.h"
#include "cli/render/PlanErrors.h"
#include "cli/render/RenderSetup.h"
#include "cli/render/EffectHost.h"
#include "cli/render/ExistingOutputs.h"
#include "cli/render/OrphanOutputs.h"
#include "cli/render/UpToDate.h"
#include "cli/io/Interruption.h"
#include "cli/io/OutputFiles.h"
#include "cli/settings/Presets.h"
#include "cli/render/RenderJobs.h"
#include "cli/settings/SettingsOptions.h"
#include "cli/settings/UsageError.h"
#include "quarl/RingOutWatch.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace
{
void refuseOverwritingAnInput(const std::string& output, const std::vector<std::string>& inputs, const char* what)
{
    const std::string input = inputAt(output, inputs);
    if (!input.empty())
        throw UsageError(std::string(what) + " \"" + output + "\" is the input \"" + input +
                         "\": choose another name; a source is never written over");
}

// One line for each input that is not the source --like's file records: another name, or
// other bytes. The render goes on with the file's recipe.
void warnOfOtherSources(const std::vector<RenderJob>& jobs, const SourceRecord& recorded, const std::string& likeFile)
{
    for (const RenderJob& job : jobs)
    {
        if (job.status != JobOutcome::Status::Rendered || job.input.empty())
            continue;
        const std::string mismatch = sourceMismatch(recorded, job.input);
        if (!mismatch.empty())
            std::fprintf(stderr, "warning: %s is not the source %s was made from (%s): %s; rendering with its recipe\n",
                         quoted(job.input, kQuotedExcerptBytes).c_str(), quoted(likeFile, kQuotedExcerptBytes).c_str(),
                         quoted(recorded.path, kQuotedExcerptBytes).c_str(), mismatch.c_str());
    }
}

// True when the preset file goes under a batch's output folder (made by the batch).
bool presetAmongOutputs(const RenderOptions& options)
{
    if (options.outputDir.empty())
        return false;
    std::error_code ea, eb;
    const fs::path folder = fs::weakly_canonical(fs::absolute(options.outputDir, ea), ea);
    const fs::path preset = fs::weakly_canonical(fs::absolute(options.savePreset, eb), eb);
    if (ea || eb)
        return false;
    const fs::path inside = preset.lexically_relative(folder);
    return !inside.empty() && *inside.begin() != "..";
}

int render(const RenderOptions& options, RenderReport& report)
{
    // The summary's time is the whole command's: loading the effect and planning included.
    const auto started = std::chrono::steady_clock::now();
    const bool lines = !options.lines.empty();
    if (lines && (!options.inputs.empty() || !options.output.empty()))
        throw UsageError("--lines takes each line's input and output from the list: give --out-dir FOLDER or "
                         "output columns, not --in or --out");
    if (!lines && options.output.empty() == options.outputDir.empty())
        throw UsageError("give either --out FILE or --out-dir FOLDER");
    // Without a source the built-in demo would render, not what the file was made from.
    if (!lines && !options.like.empty() && options.inputs.empty())
        throw UsageError("--like FILE renders a source as FILE was rendered: give the source with --in SOURCE");
    if (!options.nameTemplate.empty() && options.outputDir.empty())
        throw UsageError("--name names a batch's outputs under --out-dir FOLDER");
    if (!options.nameTemplate.empty())
        checkNameTemplate(options.nameTemplate, lines);
    if (!lines && (!options.columnMap.empty() || !options.presetMap.empty() || options.keepGoing))
        throw UsageError("--columns, --map-preset and --keep-going are a line list's (--lines LIST)");
    if (options.blockFrames < 1 || options.blockFrames > kMaxBlockFrames)
        throw UsageError("--block takes 1 to " + std::to_string(kMaxBlockFrames) + " frames");
    if (options.force + options.skipExisting + options.update > 1)
        throw UsageError("give one of --force, --skip-existing and --update: each says what becomes of outputs that exist");
    if (options.prune && options.outputDir.empty())
        throw UsageError("--prune deletes the outputs under --out-dir FOLDER that nothing renders any more: give --out-dir");
    const RenderSetup setup = setUpRender(options);

    // Files that the settings come from are sources too.
    const std::vector<std::string>& settingFiles = setup.settingFiles;
    std::vector<std::string> sources = settingFiles;
    sources.insert(sources.end(), options.inputs.begin(), options.inputs.end());
    if (!options.savePreset.empty())
    {
        refuseOverwritingAnInput(options.savePreset, sources, "the preset file");
        std::error_code ec;
        if (!options.force && fs::exists(options.savePreset, ec))
            throw UsageError("\"" + options.savePreset + "\" exists: --force replaces it");
        // A batch makes its output folders as it goes, and a preset file may go among them.
        if (!presetAmongOutputs(options))
            requireCreatable(options.savePreset);
    }

    const ParameterSettings& settings = setup.settings;

    RenderJobsRequest request;
    request.blockFrames = options.blockFrames;
    request.threads = options.jobs;
    request.showProgress = !options.quiet && !options.json;
    request.started = started;
    std::vector<std::string> badRows;
    if (lines)
    {
        LinePlan plan = planLines(options, setup);
        if (!options.quiet)
            for (const std::string& note : plan.notes)
                std::fprintf(stderr, "note: %s\n", printable(note).c_str());
        request.jobs = std::move(plan.jobs);
        badRows = std::move(plan.badRows);
        request.makeFolders = true;
    }
    else if (!options.outputDir.empty())
    {
        if (options.inputs.empty())
            throw UsageError("--out-dir renders the files given with --in");
        std::string leftOut;
        request.jobs = planBatch({options.inputs, options.outputDir, options.recursive, options.skipExisting,
                                  options.force, options.update, settingFiles, options.nameTemplate,
                                  setup.recipe.preset},
                                 &leftOut);
        if (!leftOut.empty() && !options.quiet)
            std::fprintf(stderr, "note: %s\n", leftOut.c_str());
        request.makeFolders = true;
    }
    else
    {
        if (options.inputs.size() > 1)
            throw UsageError("several inputs need --out-dir FOLDER rather than --out");
        const std::string input = options.inputs.empty() ? std::string() : options.inputs.front();
        std::error_code ec;
        if (!input.empty() && fs::is_directory(input, ec))
            throw UsageError("\"" + input + "\" is a folder: render a folder with --out-dir FOLDER");
        if (const std::string why = unwritablePath(options.output); !why.empty())
            throw UsageError("--out " + quoted(options.output, kQuotedExcerptBytes) + " " + why);
        refuseOverwritingAnInput(options.output, sources, "the output");
        std::error_code exists;
        if (options.update && fs::exists(options.output, exists))
        {
            request.jobs.push_back({input, options.output, {}, {}});
            request.jobs.back().outputExists = true;
        }
        else if (options.skipExisting && fs::exists(options.output, exists))
            request.jobs.push_back({input, options.output, JobOutcome::Status::Skipped,
                                    "\"" + options.output + "\" exists (--skip-existing)"});
        else
        {
            refuseExistingOutput(options.output, options.force);
            request.jobs.push_back({input, options.output, {}, {}});
        }
    }
    // --update renders over the tool's own outputs only (markUpToDate refuses others).
    request.replace = options.force || options.update;

    // Every file renders with the options' setup (a line list's rows have theirs).
    if (!lines)
    {
        const auto shared = std::make_shared<const RenderSetup>(setup);
        for (auto& job : request.jobs)
            job.setup = shared;
    }
    if (options.update)
        markUpToDate(request.jobs, options.jobs);
    if (setup.likeSource)
        warnOfOtherSources(request.jobs, *setup.likeSource, setup.likeFile);
    if (options.update || options.prune)
    {
        std::vector<std::string> read = settingFiles;
        if (lines)
            read.push_back(options.lines);
        for (const std::string& orphan : orphanOutputs(options.outputDir, request.jobs, read))
        {
            std::error_code ec;
            if (options.prune)
                fs::remove(orphan, ec);
            report.orphan(orphan, options.prune && !ec, ec ? ec.message() : std::string());
        }
    }

    // The preset file would take the place of a render.
    if (!options.savePreset.empty())
    {
        const std::string presetName = fs::path(options.savePreset).filename().string();
        for (const auto& job : request.jobs)
            if (fs::path(job.output).filename() == presetName && samePlace(options.savePreset, job.output))
                throw UsageError("the preset file \"" + options.savePreset + "\" is the output \"" + job.output +
                                 "\": choose another name");
    }

    const RenderSummary summary = runRenderJobs(request, report);
    if (summary.signalExitCode != 0)
        return summary.signalExitCode;
    // --keep-going: the rows left out, after everything else rendered.
    if (!badRows.empty())
        PlanErrors("the line list \"" + options.lines + "\": " + std::to_string(badRows.size()) + " row" +
                       (badRows.size() == 1 ? " was" : "s were") + " not rendered",
                   badRows)
            .print("render", true);
    // The preset is saved only for settings that rendered.
    if (!options.savePreset.empty() && summary.failed == 0 && summary.rendered > 0)
    {
        std::error_code ec;
        if (presetAmongOutputs(options))
            fs::create_directories(fs::path(options.savePreset).parent_path(), ec);
        savePreset(settings, options.savePreset, options.force, {}, *setup.recipe.transmission);
    }
    if (summary.failed == 0)
        return 0;
    // A single render that failed on what was asked is bad usage; a batch's failures are files'.
    return options.outputDir.empty() && summary.badUsage > 0 ? kExitUsage : kExitIoError;
}
} // namespace

std::string renderTailHelp()
{
    const quarl::RingOutLimits limits;
    char text[600];
    std::snprintf(text, sizeof text,
                  "The tail: after the input, the effect's own tail follows. While the output still rings after it "
                  "(its last %g ms peaking above %g dBFS and less than %g dB below the render's peak, and more than "
                  "%g dB louder than the hiss the settings make from silence), silence is played on, for at most %g s "
                  "more. Each file's line and JSON object tell the tail written and how it ended.",
                  limits.windowSeconds * 1000.0, limits.quietDbfs, limits.belowPeakDb, limits.aboveFloorDb,
                  limits.capSeconds);
    return text;
}

int renderWith(const RenderOptions& options, RenderReport& report)
{
    return render(options, report);
}

int runRender(const RenderOptions& options)
{
    RenderReport report(options.json, options.quiet);
    return reportingErrors("render", [&] {
        try
        {
            return render(options, report);
        }
        catch (const PlanErrors& e)
        {
            e.print("render");
            throw;
        }
    });
}
