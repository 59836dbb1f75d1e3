// numpy arrays of samples in and out: (frames,) for mono, (frames, channels) or (channels,
// frames), float32. float32 and float64 arrays are read where they are, in any order of
// strides (float64 converted a piece at a time), and so is anything numpy.asarray takes
// without a copy (a CPU tensor); any other floating point array is copied as float32 first.
// Anything that is not floating point is refused (PCM integers need scaling first).
#pragma once

#include "pipeline/EffectRun.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <vector>

namespace crumlet_python
{
// Read without Python's lock once made.
// How a two-dimensional array's axes read.
enum class Layout
{
    Auto,          // the axis of 64 or fewer is the channels' (ambiguous when both are)
    FramesFirst,   // (frames, channels)
    ChannelsFirst, // (channels, frames)
};

// "frames_first", "channels_first" or None (Auto); ValueError for any other.
Layout layoutOf(const pybind11::handle& layout);

struct InputFrames
{
    pybind11::array samples; // float32 or float64
    std::uint64_t frames = 0;
    std::uint32_t channels = 1;
    bool perChannel = false;         // two dimensions rather than (frames,)
    bool channelsFirst = false;      // (channels, frames)
    const float* floats = nullptr;   // the samples where they are float32 and interleaved (C order)
    const float* singles = nullptr;  // where they are float32
    const double* doubles = nullptr; // or where they are float64
    std::ptrdiff_t frameStride = 1;  // elements from a frame to the next
    std::ptrdiff_t channelStride = 1; // elements from a channel to the next

    // `count` frames from `first` on, as float32.
    void read(std::uint64_t first, std::uint32_t count, float* into) const;
};

// The stream a chunk goes on: its axes read as the stream's channel count says.
struct StreamShape
{
    std::uint32_t channels = 1;
    bool channelsFirst = false;
};

// TypeError for a dtype that is not floating point, ValueError for more than two dimensions
// or a shape whose axes the layout cannot tell apart.
InputFrames inputFrames(const pybind11::handle& array, Layout layout = Layout::Auto,
                        const StreamShape* stream = nullptr);

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

    // The samples as a float32 array that owns them, shaped as `in` was; nothing is left here.
    pybind11::array release(bool perChannel, bool channelsFirst = false);

    // Interleaved frames gathered so far, to change in place (a gain) or cut (a length).
    float* data() { return m_samples; }
    std::uint64_t frames() const { return m_channels > 0 ? m_size / m_channels : 0; }
    void keepFrames(std::uint64_t frames);

private:
    void add(const float* interleaved, std::uint32_t frames);

    std::uint32_t m_channels;
    float* m_samples = nullptr; // from malloc, so that realloc can grow it
    std::size_t m_size = 0;     // samples
    std::size_t m_capacity = 0;
};
} // namespace crumlet_python
