#include "cli/render/BatchPlan.h"

#include "cli/io/FilePlaces.h"
#include "cli/io/InputDiscovery.h"
#include "cli/io/OutputFiles.h"
#include "cli/io/QuotedText.h"
#include "cli/render/ExistingOutputs.h"
#include "cli/render/OutputFolder.h"
#include "cli/render/OutputNames.h"
#include "cli/render/PlanErrors.h"
#include "cli/settings/UsageError.h"

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

std::vector<RenderJob> planBatch(const BatchPlanRequest& request, std::string* leftOut)
{
    FilePlaces places;
    const OutputFolder folder(request.outputDir, places);
    const DiscoveredInputs found = discoverInputs(request.inputs, request.recursive, request.outputDir);
    if (leftOut != nullptr)
        *leftOut = leftOutNote(found);
    if (found.files.empty() && found.skipped.empty())
        throw UsageError("no audio files to render in " + std::to_string(request.inputs.size()) + " input" +
                         (request.inputs.size() == 1 ? "" : "s") +
                         (leftOutNote(found).empty() ? "" : " (" + leftOutNote(found) + ")"));
    const bool named = !request.nameTemplate.empty();
    std::vector<std::string> outputs, outputFiles; // each output and its file (FilePlaces::key)
    std::vector<std::string> refused;              // names that would not be written where they belong
    std::map<std::string, std::size_t> ownOutputs; // an output's file -> the input's place
    for (std::size_t i = 0; i < found.files.size(); ++i)
    {
        fs::path relative = found.files[i].relative;
        if (named)
            relative = relative.parent_path() /
                       expandName(request.nameTemplate, {found.files[i].path, request.preset, i + 1});
        try
        {
            outputs.push_back(folder.place(relative.string()));
        }
        catch (const UsageError& e)
        {
            refused.push_back("\"" + found.files[i].path + "\": " + e.what());
            continue;
        }
        outputFiles.push_back(places.key(outputs.back()));
        if (named)
            ownOutputs.emplace(outputFiles.back(), i);
    }
    // Any name refused stops the plan here: past it, outputs[i] is found.files[i]'s.
    if (!refused.empty())
        throw PlanErrors("--out-dir " + quoted(request.outputDir, kQuotedExcerptBytes) + ": " +
                             std::to_string(refused.size()) + " of " + std::to_string(found.files.size()) +
                             " output names refused",
                         refused);

    // The input that each found file is this batch's output of (a re-run into the input
    // folder), else the file's own place.
    std::vector<std::size_t> outputOf(found.files.size());
    for (std::size_t i = 0; i < found.files.size(); ++i)
    {
        const auto own = named ? ownOutputs.find(places.key(found.files[i].path)) : ownOutputs.end();
        outputOf[i] = own != ownOutputs.end() && own->second != i ? own->second : i;
    }

    // Every source once; each output is then one lookup (comparing every output with every
    // input took minutes for a few thousand files).
    std::vector<std::string> everySource = request.otherSources;
    for (std::size_t i = 0; i < found.files.size(); ++i)
        if (outputOf[i] == i)
            everySource.push_back(found.files[i].path);
    const SourceFiles sources(everySource);

    std::vector<RenderJob> jobs;
    for (const auto& s : found.skipped)
        jobs.push_back({s.path, {}, JobOutcome::Status::Skipped, s.reason});
    std::map<std::string, std::string> taken; // the output's file (FilePlaces::key) -> input
    std::map<std::string, std::string> folded; // its name in lower case -> the output
    std::vector<std::string> clashes;
    std::vector<std::string> overInputs;      // outputs that would be their own inputs, without --name
    std::size_t ownOutputsFound = 0;          // passed over, told in the note
    std::vector<std::string> existing;        // outputs in the way, neither skipped nor replaced
    for (std::size_t i = 0; i < found.files.size(); ++i)
    {
        const FoundInput& f = found.files[i];
        if (outputOf[i] != i)
        {
            ++ownOutputsFound;
            continue;
        }
        RenderJob job{f.path, outputs[i], {}, {}};
        auto fail = [&](const std::string& why) {
            job.status = JobOutcome::Status::Failed;
            job.reason = why;
        };
        bool exists = false;
        const std::string input = sources.sourceAt(job.output, exists);
        const auto [other, fresh] = taken.emplace(outputFiles[i], f.path);
        const auto [sameName, freshName] = folded.emplace(places.caseFolded(job.output), job.output);
        if (!fresh)
            fail("\"" + other->second + "\" also renders to \"" + job.output + "\"");
        else if (!freshName)
            fail("\"" + job.output + "\" and \"" + sameName->second +
                 "\" differ only in case: one file on Windows and macOS");
        else if (!input.empty())
        {
            fail("the output \"" + job.output + "\" is the input \"" + input + "\"; a source is never written over");
            if (!named)
                overInputs.push_back("\"" + f.path + "\": " + job.reason);
        }
        else if (exists && request.update)
            job.outputExists = true;
        else if (exists && request.skipExisting)
        {
            job.status = JobOutcome::Status::Skipped;
            job.reason = "\"" + job.output + "\" exists (--skip-existing)";
        }
        else if (exists && !request.force)
            existing.push_back(job.output);
        if (named && job.status == JobOutcome::Status::Failed)
            clashes.push_back("\"" + f.path + "\": " + job.reason);
        jobs.push_back(std::move(job));
    }
    if (!clashes.empty())
        throw PlanErrors("--name " + request.nameTemplate + " gives " + std::to_string(clashes.size()) +
                             " clashing name" + (clashes.size() == 1 ? "" : "s") +
                             " (add {parent} or {index}, or a suffix when writing into the input folder)",
                         clashes);
    // The output folder is the inputs' own: every file would be written over its source.
    if (!overInputs.empty())
        throw PlanErrors("--out-dir " + request.outputDir + " is where " + std::to_string(overInputs.size()) +
                             (overInputs.size() == 1 ? " input lies" : " inputs lie") +
                             ": give another folder, or --name with a suffix (\"{stem}_fx.{ext}\")",
                         overInputs);
    if (leftOut != nullptr && ownOutputsFound > 0)
        *leftOut += (leftOut->empty() ? "" : "; ") + std::to_string(ownOutputsFound) +
                    (ownOutputsFound == 1 ? " file that this batch writes was" : " files that this batch writes were") +
                    " passed over as inputs";
    refuseExistingOutputs(existing, found.files.size() - ownOutputsFound);
    return jobs;
}
