// The audio of an LV2 run, processed in place: each input copied to its output port (when the
// host gave them separate buffers), the outputs collected for the processing.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// `ports` by index, the audio inputs from `firstAudio` and the outputs after them. False when
// a port is not connected (the run then leaves the audio alone).
inline bool outputsInPlace(const std::vector<float*>& ports, std::uint32_t firstAudio, std::uint32_t channels,
                           std::uint32_t frames, std::vector<float*>& outputs)
{
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        const float* in = ports[firstAudio + c];
        float* out = ports[firstAudio + channels + c];
        if (in == nullptr || out == nullptr)
            return false;
        if (out != in)
            std::memmove(out, in, sizeof(float) * frames);
        outputs[c] = out;
    }
    return true;
}
