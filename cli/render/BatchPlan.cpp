#include "cli/render/BatchPlan.h"

#include "cli/io/InputDiscovery.h"
#include "cli/render/ExistingOutputs.h"
#include "cli/io/OutputFiles.h"
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
    // Every source once; each output is then one lookup (comparing every output with every
    // input took minutes for a few thousand files).
    std::vector<std::string> everySource = request.otherSources;
    for (const auto& f : found.files)
        everySource.push_back(f.path);
    const SourceFiles sources(everySource);

    std::vector<RenderJob> jobs;
    for (const auto& s : found.skipped)
        jobs.push_back({s.path, {}, JobOutcome::Status::Skipped, s.reason});
    std::map<std::string, std::string> taken; // output -> input
    std::vector<std::string> existing;        // outputs in the way, neither skipped nor replaced
    for (const auto& f : found.files)
    {
        RenderJob job{f.path, (fs::path(request.outputDir) / f.relative).lexically_normal().string(), {}, {}};
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
        jobs.push_back(std::move(job));
    }
    refuseExistingOutputs(existing, found.files.size());
    return jobs;
}
