// Runs a list of renders, several at once, and reports each as it finishes.
#pragma once

#include "cli/render/FileRenderer.h"
#include "cli/render/RenderReport.h"
#include "cli/render/Variation.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct RenderJob
{
    std::string input; // empty: the built-in demo
    std::string output;
    // Set when planning decided the job's outcome already: skipped or failed, with the reason.
    JobOutcome::Status status = JobOutcome::Status::Rendered;
    std::string reason;
    std::size_t row = 0; // the line list's row (as a spreadsheet numbers it), 0: none
    // What the file is made with (its seed: --seed, the list's seed column, else from the
    // output's name), and that recipe as the file carries it. Set for every planned job.
    std::shared_ptr<const RenderRecipe> recipe{};
    OutputMetadata metadata{};
};

struct RenderJobsRequest
{
    std::vector<RenderJob> jobs;
    std::uint32_t blockFrames = pipeline::kDefaultBlockFrames;
    bool replace = false;     // existing outputs may be replaced
    bool makeFolders = false; // create each output's folder
    unsigned threads = 0;     // 0: one per core
    bool showProgress = true; // a progress bar while stderr is a terminal
    // When the command started: the summary reports the time since.
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

// Renders every job not already decided, reporting each (in the order they finish, after
// the decided ones) and then the summary. An interruption stops the renders in hand and
// removes their partial files.
RenderSummary runRenderJobs(const RenderJobsRequest& request, RenderReport& report);
