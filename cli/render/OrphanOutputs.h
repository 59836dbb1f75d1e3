// Outputs left behind: files under a batch's output folder that the tool made (they carry its
// recipe) and that no job of this render writes any more, nor reads. Files the tool did not
// make are never among them, whatever their name; hidden files (partial outputs) are passed by.
#pragma once

#include "cli/render/RenderJobs.h"

#include <string>
#include <vector>

// The orphans under `folder`, sorted. `sources` are the files the render reads beside its jobs'
// inputs (the line list, the settings' files).
std::vector<std::string> orphanOutputs(const std::string& folder, const std::vector<RenderJob>& jobs,
                                       const std::vector<std::string>& sources);
