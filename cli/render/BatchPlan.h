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
    bool update = false;                   // an existing output is marked (RenderJob::outputExists)
    std::vector<std::string> otherSources; // the settings' files: never written over either
    // Outputs named by a template (see OutputNames) rather than as their inputs. Then every
    // name is checked before anything renders: two inputs to one output or an output that
    // is an input refuse the batch; and files of an input folder that are this batch's own
    // outputs (a re-run into the input folder) are passed over, counted in `leftOut`.
    std::string nameTemplate;
    std::string preset; // for {preset}
};

// Throws UsageError when nothing is found to render, when an output would be written outside
// --out-dir or cannot be written by its name (see OutputFolder), or when names clash; IoError
// when an input cannot be read. Outputs are one when they are one file, by any path.
// `leftOut`, when given, is told what the folders held that is not rendered (subfolders
// without --recursive, files that are not audio), in one note.
std::vector<RenderJob> planBatch(const BatchPlanRequest& request, std::string* leftOut = nullptr);
