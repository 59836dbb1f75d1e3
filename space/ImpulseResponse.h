// An impulse response at one sample rate: one channel, or two (left and right ear).
#pragma once

#include <cstddef>
#include <vector>

namespace space
{

struct ImpulseResponse
{
    double sampleRate = 0.0;
    std::vector<std::vector<float>> channels; // all of the same length

    std::size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
    std::size_t bytes() const { return frames() * channels.size() * sizeof(float); }
};

} // namespace space
