// numpy arrays of samples in and out: (frames,) for mono or (frames, channels), float32.
// Float input of any width is converted, a non-contiguous array copied; anything that is
// not floating point is refused (PCM integers need scaling first).
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <vector>

namespace crumlet_python
{
struct InputFrames
{
    pybind11::array_t<float, pybind11::array::c_style> samples; // interleaved, owned
    std::uint64_t frames = 0;
    std::uint32_t channels = 1;
    bool perChannel = false; // (frames, channels) rather than (frames,)

    const float* data() const { return samples.data(); }
};

// TypeError for a dtype that is not floating point, ValueError for more than two dimensions.
InputFrames inputFrames(const pybind11::handle& array);

// Interleaved samples handed over to a float32 array of the input's shape, without a copy.
pybind11::array outputArray(std::vector<float>&& interleaved, std::uint32_t channels, bool perChannel);
} // namespace crumlet_python
