// Renders many inputs into a folder in parallel, with one progress display and a summary.
#pragma once

#include "cli/AudioFiles.h"

#include <cstdint>
#include <string>
#include <vector>

struct BatchRequest
{
    std::vector<std::string> inputs; // files, or folders whose audio files are taken
    std::string outputDir;
    std::vector<std::uint8_t> block;
    std::uint32_t blockFrames = 512;
    SampleFormat sampleFormat = SampleFormat::Automatic;
    unsigned jobs = 0; // 0: one per core
    bool force = false;
    bool quiet = false;
};

// The audio files named by `inputs`, folders expanded (sorted); throws IoError for a
// path that does not exist.
std::vector<std::string> expandInputs(const std::vector<std::string>& inputs);

// Returns the number of files that failed; each failure is reported.
std::size_t renderBatch(const BatchRequest& request);
