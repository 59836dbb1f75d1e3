#include "cli/render/UpToDate.h"

#include "cli/render/ExistingOutputs.h"
#include "cli/render/RenderProvenance.h"
#include "cli/render/RenderSetup.h"
#include "cli/settings/UsageError.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <thread>

using nlohmann::ordered_json;

namespace
{
enum class Made
{
    UpToDate,
    OutOfDate,
    NotByTheTool,
};

bool sameSource(const ordered_json& recorded, const RenderJob& job)
{
    if (job.input.empty())
        return recorded.is_null();
    if (!recorded.is_object())
        return false;
    try
    {
        SourceRecord source;
        source.stamp.bytes = recorded.at("bytes").get<std::uint64_t>();
        source.stamp.modifiedNs = recorded.at("modifiedNs").get<std::int64_t>();
        const ordered_json& hash = recorded.at("xxh3");
        source.hash = hash.is_string() ? hash.get<std::string>() : std::string();
        return sameSourceBytes(source, job.input);
    }
    catch (const std::exception&)
    {
        return false; // a recipe whose source is not as the tool writes it, or a source unread
    }
}

Made madeWith(const RenderJob& job)
{
    const ordered_json recorded = recordedRecipe(job.output);
    if (recorded.is_null())
        return Made::NotByTheTool;
    // The job's recipe as a file would hold it, read back as a file's is.
    const PreparedJob prepared = prepareJob(job, false);
    const ordered_json wanted = ordered_json::parse(soundRecipe(*prepared.recipe).dump());
    for (const auto& [key, value] : wanted.items())
    {
        const auto found = recorded.find(key);
        if (found == recorded.end() || *found != value)
            return Made::OutOfDate;
    }
    const auto source = recorded.find("source");
    return source != recorded.end() && sameSource(*source, job) ? Made::UpToDate : Made::OutOfDate;
}
} // namespace

void markUpToDate(std::vector<RenderJob>& jobs, unsigned threads)
{
    std::vector<RenderJob*> existing;
    for (RenderJob& job : jobs)
        if (job.outputExists && job.status == JobOutcome::Status::Rendered)
            existing.push_back(&job);
    std::vector<Made> made(existing.size(), Made::OutOfDate);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < existing.size(); i = next++)
            made[i] = madeWith(*existing[i]);
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const auto count = static_cast<unsigned>(
        std::max<std::size_t>(1, std::min<std::size_t>(threads == 0 ? cores : threads, existing.size() / 64 + 1)));
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < count; ++t)
        workers.emplace_back(work);
    work();
    for (auto& w : workers)
        w.join();

    std::vector<std::string> notByTheTool;
    for (std::size_t i = 0; i < existing.size(); ++i)
    {
        if (made[i] == Made::UpToDate)
            existing[i]->status = JobOutcome::Status::UpToDate;
        else if (made[i] == Made::NotByTheTool)
            notByTheTool.push_back(existing[i]->output);
    }
    refuseOutputsNotMade(notByTheTool, jobs.size());
}
