// `crumlet render`: runs audio through the effect as the host's sound engine would, one
// file or many in parallel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RenderOptions
{
    std::vector<std::string> inputs;      // files or folders; none: the built-in demo
    std::string output;                   // one output file
    std::string outputDir;                // or a folder for many
    std::vector<std::string> assignments; // NAME=VALUE, applied after the preset
    std::string preset;                   // a factory preset's name or a preset file
    std::string savePreset;               // write the settings to this preset file
    std::string bankFile;                 // a 139-byte parameter block to start from
    std::uint32_t blockFrames = 512;
    std::string sampleFormat;             // empty: float where possible
    unsigned jobs = 0;                    // 0: one per core
    bool force = false;                   // overwrite existing outputs in a batch
    bool quiet = false;
};

// Returns the process exit code; reports errors on stderr.
int runRender(const RenderOptions& options);
