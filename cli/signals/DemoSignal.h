// The built-in demo: a few seconds of synthetic speech, a pause, and a drum and chord
// phrase, so that band-limiting, distortion, ducking noise and the gate can all be heard.
#pragma once

#include <cstdint>
#include <vector>

struct DemoSignal
{
    static constexpr std::uint32_t kSampleRate = 48000;
    static constexpr std::uint32_t kChannels = 2;

    // Interleaved stereo samples, peaking at -3 dBFS.
    static std::vector<float> generate();
};
