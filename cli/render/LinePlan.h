// Planning a line list's renders: each row is the command line's options, read once, with the
// row's cells read over them (cli/render/LineColumns): its input, output and recipe. The whole list
// is checked before anything renders (files, names, values, two rows to one output, an
// output that is an input); every error found is reported with its row and column.
#pragma once

#include "cli/render/RenderJobs.h"
#include "cli/render/RenderOptions.h"
#include "cli/render/RenderSetup.h"

#include <vector>

// Throws UsageError listing every error, IoError when the list cannot be read.
// `setup`: the command line's options, read.
std::vector<RenderJob> planLines(const RenderOptions& options, const RenderSetup& setup);
