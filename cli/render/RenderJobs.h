// Runs a list of renders, several at once, and reports each as it finishes.
#pragma once

#include "cli/render/FileRenderer.h"
#include "cli/render/RenderReport.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct RenderJob
{
    std::string input; // empty: the built-in demo
    std::string output;
    // Set when planning decided the job's outcome already: skipped or failed, with the reason.
    JobOutcome::Status status = JobOutcome::Status::Rendered;
    std::string reason;
};

struct RenderJobsRequest
{
    std::vector<RenderJob> jobs;
    std::vector<std::uint8_t> block;
    std::uint32_t blockFrames = 512;
    SampleFormat sampleFormat = SampleFormat::Automatic;
    LoudnessTarget loudness;
    // After the effect, the same for every file; each file's seed comes from `seed` and its
    // output's name.
    transmission::TransmissionSettings transmission{};
    std::uint64_t seed = 0;
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
