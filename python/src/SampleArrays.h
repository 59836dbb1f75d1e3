// numpy arrays of samples in and out: (frames,) for mono or (frames, channels), float32.
// float32 and float64 arrays laid out in C order are read where they are (float64 converted
// a piece at a time); any other floating point array is copied as float32 first. Anything
// that is not floating point is refused (PCM integers need scaling first).
#pragma once

#include "pipeline/EffectRun.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <vector>

namespace crumlet_python
{
// Read without Python's lock once made.
struct InputFrames
{
    pybind11::array samples; // interleaved, C order: float32, or float64
    std::uint64_t frames = 0;
    std::uint32_t channels = 1;
    bool perChannel = false;         // (frames, channels) rather than (frames,)
    const float* floats = nullptr;   // the samples where they are float32
    const double* doubles = nullptr; // or where they are float64

    // `count` frames from `first` on, as float32.
    void read(std::uint64_t first, std::uint32_t count, float* into) const;
};

// TypeError for a dtype that is not floating point, ValueError for more than two dimensions.
InputFrames inputFrames(const pybind11::handle& array);

// What a run hands on, gathered in one block that becomes the float32 array returned, shaped
// as the input was. The block grows in place where the system can (a large block's pages are
// remapped, not copied), so that a call never holds its output twice.
class OutputSamples
{
public:
    // Room for `expectedFrames` up front.
    OutputSamples(std::uint32_t channels, std::uint64_t expectedFrames);
    ~OutputSamples();
    OutputSamples(const OutputSamples&) = delete;
    OutputSamples& operator=(const OutputSamples&) = delete;

    // A sink for EffectRun that takes every frame; std::bad_alloc (MemoryError) when there is
    // no room.
    pipeline::EffectRun::Sink sink();

    // The samples as a float32 array that owns them; nothing is left here.
    pybind11::array release(bool perChannel);

private:
    void add(const float* interleaved, std::uint32_t frames);

    std::uint32_t m_channels;
    float* m_samples = nullptr; // from malloc, so that realloc can grow it
    std::size_t m_size = 0;     // samples
    std::size_t m_capacity = 0;
};
} // namespace crumlet_python
