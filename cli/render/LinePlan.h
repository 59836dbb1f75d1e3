// Planning a line list's renders: each row is the command line's options, read once, with the
// row's cells read over them (cli/render/LineColumns): its input, output and recipe. The whole list
// is checked before anything renders (files, names, values, two rows to one output, an
// output that is an input); every error found is reported with its row and column, and a
// problem of the header once, by its column (cli/render/LineHeaders).
#pragma once

#include "cli/render/RenderJobs.h"
#include "cli/render/RenderOptions.h"
#include "cli/render/RenderSetup.h"

#include <vector>

struct LinePlan
{
    std::vector<RenderJob> jobs;
    std::vector<std::string> notes; // for stderr: the list's own columns, its encoding
    // With --keep-going: the rows left out, each error at its row and column (their jobs are
    // among `jobs`, failed).
    std::vector<std::string> badRows;
};

// Throws PlanErrors listing every error (with --keep-going, only the header's: bad rows are
// left out), IoError when the list cannot be read. `setup`: the command line's options, read.
LinePlan planLines(const RenderOptions& options, const RenderSetup& setup);
