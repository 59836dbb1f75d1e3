// Crumlet Line's LV2 ports, the one list that both its plugins and their Turtle description
// follow: the line's parameters as control inputs in table order, the audio ports, the
// latency as a control output, then the host's freewheeling (lv2:freeWheeling: 1 while it
// renders faster than real time).
#pragma once

#include "plugins/common/LineParameters.h"
#include "plugins/lv2/Lv2Ports.h"

#include <cstdint>

namespace lv2line
{
constexpr lv2port::Variant kVariants[] = {
    {"urn:orvex:crumlet-line:mono", "Crumlet Line (mono)", 1},
    {"urn:orvex:crumlet-line:stereo", "Crumlet Line", 2},
};

// The frames a run is split into when the host does not say its largest buffer
// (Lv2HostBuffer.h), and the most taken from one that does.
constexpr std::uint32_t kMostFramesPerCall = 4096;
constexpr std::uint32_t kLargestFramesPerCall = 8192;

constexpr std::uint32_t kFirstControl = 0;
constexpr std::uint32_t kFirstAudio = kFirstControl + plugins::kLineParameterCount;

constexpr std::uint32_t latencyPort(std::uint32_t channels)
{
    return kFirstAudio + 2 * channels;
}

constexpr std::uint32_t freewheelPort(std::uint32_t channels)
{
    return latencyPort(channels) + 1;
}

constexpr std::uint32_t portCount(std::uint32_t channels)
{
    return freewheelPort(channels) + 1;
}
} // namespace lv2line
