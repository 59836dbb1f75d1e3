#include "cli/render/BatchPlan.h"

#include "cli/io/InputDiscovery.h"
#include "cli/render/ExistingOutputs.h"
#include "cli/io/OutputFiles.h"
#include "cli/render/OutputNames.h"
#include "cli/render/PlanErrors.h"
#include "cli/settings/UsageError.h"

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

std::vector<RenderJob> planBatch(const BatchPlanRequest& request, std::string* leftOut)
{
    const DiscoveredInputs found = discoverInputs(request.inputs, request.recursive, request.outputDir);
    if (leftOut != nullptr)
        *leftOut = leftOutNote(found);
    if (found.files.empty() && found.skipped.empty())
        throw UsageError("no audio files to render in " + std::to_string(request.inputs.size()) + " input" +
                         (request.inputs.size() == 1 ? "" : "s") +
                         (leftOutNote(found).empty() ? "" : " (" + leftOutNote(found) + ")"));
    const bool named = !request.nameTemplate.empty();
    std::vector<std::string> outputs;
    std::map<std::string, std::size_t> ownOutputs; // absolute path -> the input's place
    for (std::size_t i = 0; i < found.files.size(); ++i)
    {
        fs::path relative = found.files[i].relative;
        if (named)
            relative = relative.parent_path() /
                       expandName(request.nameTemplate, {found.files[i].path, request.preset, i + 1});
        outputs.push_back((fs::path(request.outputDir) / relative).lexically_normal().string());
        if (named)
            ownOutputs.emplace(fs::absolute(outputs.back()).lexically_normal().string(), i);
    }

    // The input that a found file is this batch's output of (a re-run into the input folder).
    auto outputOf = [&](std::size_t i) {
        const auto own = named ? ownOutputs.find(fs::absolute(found.files[i].path).lexically_normal().string())
                               : ownOutputs.end();
        return own != ownOutputs.end() && own->second != i ? own->second : i;
    };

    // Every source once; each output is then one lookup (comparing every output with every
    // input took minutes for a few thousand files).
    std::vector<std::string> everySource = request.otherSources;
    for (std::size_t i = 0; i < found.files.size(); ++i)
        if (outputOf(i) == i)
            everySource.push_back(found.files[i].path);
    const SourceFiles sources(everySource);

    std::vector<RenderJob> jobs;
    for (const auto& s : found.skipped)
        jobs.push_back({s.path, {}, JobOutcome::Status::Skipped, s.reason});
    std::map<std::string, std::string> taken; // output -> input
    std::vector<std::string> clashes;
    std::size_t ownOutputsFound = 0;          // passed over, told in the note
    std::vector<std::string> existing;        // outputs in the way, neither skipped nor replaced
    for (std::size_t i = 0; i < found.files.size(); ++i)
    {
        const FoundInput& f = found.files[i];
        if (outputOf(i) != i)
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
        if (!taken.emplace(job.output, f.path).second)
            fail("\"" + taken[job.output] + "\" also renders to \"" + job.output + "\"");
        else if (!input.empty())
            fail("the output \"" + job.output + "\" is the input \"" + input + "\"; a source is never written over");
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
    if (leftOut != nullptr && ownOutputsFound > 0)
        *leftOut += (leftOut->empty() ? "" : "; ") + std::to_string(ownOutputsFound) +
                    (ownOutputsFound == 1 ? " file that this batch writes was" : " files that this batch writes were") +
                    " passed over as inputs";
    refuseExistingOutputs(existing, found.files.size() - ownOutputsFound);
    return jobs;
}
