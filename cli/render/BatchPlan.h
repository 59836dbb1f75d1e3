// Planning a batch render: every input found under --in, each output under --out-dir
// (mirroring subfolders with --recursive), and what becomes of outputs that exist or that
// would take an input's place. Each file is looked at once, so a batch of thousands of files
// is planned in a fraction of a second.
#pragma once

#include "cli/render/RenderJobs.h"

#include <string>
#include <vector>

struct BatchPlanRequest
{
    std::vector<std::string> inputs;       // files and folders
    std::string outputDir;
    bool recursive = false;
    bool skipExisting = false;             // an existing output skips its job
    bool force = false;                    // an existing output is replaced
    std::vector<std::string> otherSources; // the settings' files: never written over either
};

// Throws UsageError when nothing is found to render, IoError when an input cannot be read.
// `leftOut`, when given, is told what the folders held that is not rendered (subfolders
// without --recursive, files that are not audio), in one note.
std::vector<RenderJob> planBatch(const BatchPlanRequest& request, std::string* leftOut = nullptr);
