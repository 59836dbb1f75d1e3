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

struct RenderSetup;

struct RenderJob
{
    std::string input; // empty: the built-in demo
    std::string output;
    // Set when planning decided the job's outcome already: skipped or failed, with the reason.
    JobOutcome::Status status = JobOutcome::Status::Rendered;
    std::string reason;
    std::size_t row = 0; // the line list's row (as a spreadsheet numbers it), 0: none
    bool outputExists = false; // with --update: the output is there, to be compared with the job's recipe
    // What the file is made with, shared by the files planned alike; its own recipe (its
    // seed, the variation drawn for it) and the metadata its output carries are made from it
    // when it renders (see prepareJob). Set for every planned job.
    std::shared_ptr<const RenderSetup> setup{};
};

struct RenderJobsRequest
{
    std::vector<RenderJob> jobs;
    std::uint32_t blockFrames = pipeline::kDefaultBlockFrames;
    bool replace = false;     // existing outputs may be replaced (with --update: only the tool's own, out of date)
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
