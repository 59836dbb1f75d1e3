// Renders one input (a file, or the built-in demo) into one output file through a run of
// the effect made from its recipe, optionally bringing the output to a loudness, and
// measures what it wrote.
#pragma once

#include "cli/io/AudioFiles.h"
#include "cli/io/BextChunk.h"
#include "cli/render/DeliveryFormat.h"
#include "cli/render/RenderProvenance.h"
#include "pipeline/EffectRun.h"
#include "pipeline/SpaceReport.h"
#include "pipeline/TransmissionReport.h"
#include "cli/metering/LevelMeter.h"
#include "quarl/RingOutWatch.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct FileRenderRequest
{
    std::string input; // empty: the demo
    std::string output;
    // What the file is made with: the block, the seed (the transmission's draws and the
    // dither), the delivery format, the sample format, the loudness, the transmission and
    // the space.
    std::shared_ptr<const RenderRecipe> recipe;
    std::uint32_t blockFrames = pipeline::kDefaultBlockFrames;
    bool replace = true; // an existing output (never an input) may be replaced
    // Told the number of output frames written so far, after every buffer.
    std::function<void(std::uint64_t)> progress;
    // Measure and write the output (and measure for loudness matching) on threads of their
    // own, beside the effect: for when a core would stand idle.
    bool workAside = false;
    OutputMetadata metadata{}; // the recipe as a WAV output carries it
};

struct FileRenderResult
{
    std::uint64_t inputFrames = 0;
    std::uint64_t outputFrames = 0;
    // The tail written: the effect's own (from the end of the input), then what was played
    // on, silence in, while the output still rang; how it ended and how loud its last
    // stretch was (in the file, after the gain; -inf for silence).
    std::uint64_t effectTailFrames = 0;
    std::uint64_t ringOutFrames = 0;
    quarl::TailEnd tailEnd = quarl::TailEnd::NotWatched;
    double tailEndDbfs = 0;
    double tailEndBelowPeakDb = 0;
    std::uint32_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t inputChannels = 0;   // before folding
    std::uint32_t inputSampleRate = 0; // before resampling
    Levels output;                 // the file's samples, after the gain
    double inputLoudnessLufs = 0;  // measured when matching the input
    double gainDb = 0;             // applied after the effect
    std::string gainNote;          // why no gain was applied although one was asked for, or
                                   // what the input's measure left out
    bool integerFormat = false;    // the file clips at full scale
    pipeline::TransmissionReport transmission;
    pipeline::SpaceReport space;
};

// Writes beside the output and moves it into place only when the render succeeded; a
// failed or interrupted render leaves nothing behind. Throws UsageError (the output is an
// input, a format the file cannot hold), IoError (with the reason) or Interrupted.
FileRenderResult renderFile(const FileRenderRequest& request);

// Frames in an input (the demo's when the path is empty); 0 when it cannot be told, and
// for anything but a regular file (a pipe is read once, by the render).
std::uint64_t inputFrames(const std::string& input);
