// Planning a line list's renders: each row is the command line's options with the row's
// cells applied (cli/render/LineColumns), its input, output, settings and seed. The whole list
// is checked before anything renders (files, names, values, two rows to one output, an
// output that is an input); every error found is reported with its row and column.
#pragma once

#include "cli/commands/RenderCommand.h"
#include "cli/render/RenderJobs.h"

#include <vector>

// Throws UsageError listing every error, IoError when the list cannot be read.
std::vector<RenderJob> planLines(const RenderOptions& options);
