// The audio a run takes through the effect: 1 to 64 channels at 8000 to 384000 Hz. The
// effect's designs, the loudness meter (libebur128 overruns its buffers at a few hertz and
// cannot be set up below 16 Hz or above 2.8 MHz) and the true-peak meter are made for these
// rates; anything else is refused before any of them is set up.
#pragma once

#include <cstdint>
#include <string>

constexpr std::uint32_t kLowestServedRate = 8000;
constexpr std::uint32_t kHighestServedRate = 384000;
constexpr std::uint32_t kMostServedChannels = 64;

// Why audio of this shape is not served ("a sample rate of 16 Hz; the effect runs at 8000 to
// 384000 Hz"), or empty when it is.
inline std::string unservedReason(std::uint32_t channels, std::uint32_t sampleRate)
{
    if (channels < 1 || channels > kMostServedChannels)
        return std::to_string(channels) + " channels; the effect takes 1 to " + std::to_string(kMostServedChannels);
    if (sampleRate < kLowestServedRate || sampleRate > kHighestServedRate)
        return "a sample rate of " + std::to_string(sampleRate) + " Hz; the effect runs at " +
               std::to_string(kLowestServedRate) + " to " + std::to_string(kHighestServedRate) + " Hz";
    return {};
}
