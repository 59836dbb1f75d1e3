// Renders one input (a file, or the built-in demo) into one output file through a new
// instance of the effect made from a parameter block.
#pragma once

#include "cli/AudioFiles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct FileRenderResult
{
    std::uint64_t inputFrames = 0;
    std::uint64_t outputFrames = 0;
    std::uint32_t channels = 0;
    std::uint32_t sampleRate = 0;
};

struct FileRenderRequest
{
    std::string input; // empty: the demo
    std::string output;
    std::vector<std::uint8_t> block;
    std::uint32_t blockFrames = 512;
    SampleFormat sampleFormat = SampleFormat::Automatic;
    // Told the number of output frames written so far, after every buffer.
    std::function<void(std::uint64_t)> progress;
};

// Writes beside the output and moves it into place only when the render succeeded.
// Throws UsageError or IoError.
FileRenderResult renderFile(const FileRenderRequest& request);

// Frames in an input (the demo's when the path is empty); 0 when it cannot be told.
std::uint64_t inputFrames(const std::string& input);
