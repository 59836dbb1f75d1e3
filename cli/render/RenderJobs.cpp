#include "cli/render/RenderJobs.h"

#include "cli/render/BatchMemory.h"
#include "cli/render/RenderSetup.h"
#include "cli/io/Interruption.h"
#include "cli/io/ProgressBar.h"
#include "cli/settings/UsageError.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;

namespace
{
JobOutcome outcomeOf(const RenderJob& job, JobOutcome::Status status, const RenderRecipe* recipe,
                     const std::string& error = {})
{
    JobOutcome o{job.input, job.output, status, error, {}};
    o.row = job.row;
    if (recipe)
    {
        o.seed = recipe->seed;
        o.varied = recipe->varied;
    }
    return o;
}

// A job whose outcome is decided without rendering it: its seed and variation as it would
// have rendered with them.
JobOutcome decidedOutcome(const RenderJob& job, JobOutcome::Status status, const std::string& error = {})
{
    if (!job.setup || status == JobOutcome::Status::UpToDate)
        return outcomeOf(job, status, nullptr, error);
    const PreparedJob prepared = prepareJob(job, false);
    return outcomeOf(job, status, prepared.recipe.get(), error);
}

JobOutcome runJob(const RenderJobsRequest& request, const RenderJob& job, std::atomic<std::uint64_t>& framesDone,
                  bool workAside)
{
    JobOutcome o = outcomeOf(job, JobOutcome::Status::Rendered, nullptr);
    std::uint64_t reported = 0;
    try
    {
        PreparedJob prepared = prepareJob(job);
        o = outcomeOf(job, JobOutcome::Status::Rendered, prepared.recipe.get());
        FileRenderRequest file{job.input, job.output, prepared.recipe, request.blockFrames, request.replace,
                               [&](std::uint64_t written) {
                                   framesDone += written - reported;
                                   reported = written;
                               },
                               workAside, std::move(prepared.metadata)};
        if (request.makeFolders)
        {
            const fs::path folder = fs::path(job.output).parent_path();
            std::error_code ec;
            if (!folder.empty() && !fs::create_directories(folder, ec) && ec)
                throw IoError("cannot make the folder \"" + folder.string() + "\": " + ec.message());
        }
        o.result = renderFile(file);
    }
    catch (const Interrupted&)
    {
        o.status = JobOutcome::Status::Interrupted;
    }
    catch (const UsageError& e)
    {
        o.status = JobOutcome::Status::Failed;
        o.error = e.what();
        o.badUsage = true;
    }
    catch (const std::exception& e)
    {
        o.status = JobOutcome::Status::Failed;
        o.error = e.what();
    }
    return o;
}
} // namespace

RenderSummary runRenderJobs(const RenderJobsRequest& request, RenderReport& report)
{
    std::vector<const RenderJob*> pending;
    // The bar's length takes opening every input: only for a bar that shows.
    const bool showProgress = request.showProgress && ProgressBar::stderrIsTerminal();
    std::uint64_t totalFrames = 0;
    for (const auto& job : request.jobs)
    {
        if (job.status != JobOutcome::Status::Rendered)
        {
            report.file(decidedOutcome(job, job.status, job.reason));
            continue;
        }
        pending.push_back(&job);
        totalFrames += showProgress ? inputFrames(job.input) : 0;
    }

    // One file alone leaves a core idle: its metering and writing take it. A batch keeps
    // every core busy with renders of its own, where working inline costs less than
    // threads contending.
    const bool workAside = pending.size() == 1 && std::thread::hardware_concurrency() > 1;
    if (pending.size() > 1)
        keepFreedMemoryForReuse();
    std::mutex finishedLock;
    std::condition_variable finishedSignal;
    std::deque<JobOutcome> finished;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::atomic<std::uint64_t> framesDone{0};
    auto work = [&] {
        for (std::size_t i = next++; i < pending.size(); i = next++)
        {
            JobOutcome o;
            if (Interruption::requested())
            {
                o = decidedOutcome(*pending[i], JobOutcome::Status::Interrupted);
                o.neverStarted = true;
            }
            else
            {
                o = runJob(request, *pending[i], framesDone, workAside);
            }
            {
                std::lock_guard<std::mutex> lock(finishedLock);
                finished.push_back(std::move(o));
                ++done;
            }
            finishedSignal.notify_one();
        }
    };

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const auto threads = static_cast<unsigned>(
        std::max<std::size_t>(1, std::min<std::size_t>(request.threads == 0 ? cores : request.threads, pending.size())));
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads && !pending.empty(); ++t)
        workers.emplace_back(work);
    {
        ProgressBar progress(pending.size() > 1 ? "rendering " + std::to_string(pending.size()) + " files" : "rendering",
                             totalFrames);
        // Files are reported here, on one thread, as they finish.
        auto drain = [&] {
            std::deque<JobOutcome> ready;
            {
                std::lock_guard<std::mutex> lock(finishedLock);
                ready.swap(finished);
            }
            if (!ready.empty())
                progress.finish();
            for (const auto& o : ready)
                report.file(o);
        };
        while (done.load() < pending.size())
        {
            drain();
            if (showProgress)
                progress.update(framesDone.load());
            // The bar moves every 20 ms; a finished file is reported at once.
            std::unique_lock<std::mutex> lock(finishedLock);
            finishedSignal.wait_for(lock, std::chrono::milliseconds(20), [&] { return !finished.empty(); });
        }
        for (auto& w : workers)
            w.join();
        drain();
        progress.finish();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - request.started).count();
    report.summary(seconds, threads, Interruption::exitCode());
    return report.counts();
}
