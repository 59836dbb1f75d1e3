// `crumlet render`: runs audio through the effect as the host's sound engine would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RenderOptions
{
    std::string input;                   // empty: the built-in demo
    std::string output;
    std::vector<std::string> assignments; // NAME=VALUE
    std::uint32_t blockFrames = 512;
    std::string sampleFormat;             // empty: float where possible
    bool quiet = false;
};

// Returns the process exit code; reports errors on stderr.
int runRender(const RenderOptions& options);
