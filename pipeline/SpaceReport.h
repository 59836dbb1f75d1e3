// What the space after the effect did to a stream: a file's line in the report and its JSON.
#pragma once

#include <cstdint>
#include <string>

namespace pipeline
{
// Empty settings when the stream had none.
struct SpaceReport
{
    std::string settings;        // as --space takes them; empty: no space
    std::uint64_t tailFrames = 0; // the frames its decay added after the line
};
} // namespace pipeline
