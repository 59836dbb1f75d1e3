// What the transmission after the effect did to a stream: a file's line in the report and
// its JSON.
#pragma once

#include <cstdint>
#include <string>

namespace pipeline
{
// Empty settings when the stream had none.
struct TransmissionReport
{
    std::string settings;        // as `crumlet presets` lists them; empty: no transmission
    bool lossy = false;           // packets may be lost
    std::uint64_t framesSent = 0; // codec frames, per channel
    std::uint64_t framesLost = 0;
    std::uint64_t overs = 0;      // the radio's transmissions (key downs)
};
} // namespace pipeline
