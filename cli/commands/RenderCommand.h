// `crumlet render`: runs audio through the effect as the host's sound engine would, one
// file or many in parallel, never over a source, with levels a designer can trust.
#pragma once

#include "cli/render/RenderOptions.h"

#include <string>

using pipeline::kMaxBlockFrames;

// What --help says about the tail a render writes.
std::string renderTailHelp();

class RenderReport;

// Renders as `runRender` does, telling `report` of each file; throws UsageError (bad usage,
// before anything renders) or IoError where runRender reports them. Returns the exit code.
int renderWith(const RenderOptions& options, RenderReport& report);

// Returns the process exit code (0, 1 for a failed file, 2 for bad usage, 130 or 143 when
// interrupted); reports errors on stderr.
int runRender(const RenderOptions& options);
