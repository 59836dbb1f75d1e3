#include "python/src/SampleArrays.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace py = pybind11;

namespace crumlet_python
{
Layout layoutOf(const py::handle& layout)
{
    if (layout.is_none())
        return Layout::Auto;
    const std::string text = py::isinstance<py::str>(layout) ? layout.cast<std::string>() : std::string();
    if (text == "frames_first")
        return Layout::FramesFirst;
    if (text == "channels_first")
        return Layout::ChannelsFirst;
    throw py::value_error("layout is \"frames_first\" ((frames, channels)), \"channels_first\" ((channels, "
                          "frames)) or None (the axis of 64 or fewer entries is the channels'), not " +
                          py::repr(layout).cast<std::string>());
}

namespace
{
constexpr py::ssize_t kMostChannels = 64;

// Whether a (first, second) array is channels first.
bool readsChannelsFirst(py::ssize_t first, py::ssize_t second, Layout layout, const StreamShape* stream)
{
    if (layout != Layout::Auto)
        return layout == Layout::ChannelsFirst;
    if (first == 0 || second == 0)
        return false;
    if (stream != nullptr)
    {
        // A stream's chunk: the axis of the stream's channel count.
        const auto channels = static_cast<py::ssize_t>(stream->channels);
        if ((first == channels) != (second == channels))
            return first == channels;
        if (first == channels)
            return stream->channelsFirst;
    }
    const bool firstCouldBe = first <= kMostChannels, secondCouldBe = second <= kMostChannels;
    // One row of a few: a frame.
    if (firstCouldBe && secondCouldBe && first != second && first > 1)
        throw py::value_error("samples shaped (" + std::to_string(first) + ", " + std::to_string(second) +
                              ") could be either (frames, channels) or (channels, frames): say which with "
                              "layout=\"frames_first\" or layout=\"channels_first\"");
    if (first == second)
        return false;
    // Neither could be: read as (frames, channels), refused for its channel count.
    return firstCouldBe && !secondCouldBe;
}
} // namespace

InputFrames inputFrames(const py::handle& array, Layout layout, const StreamShape* stream)
{
    const py::array any = py::array::ensure(array);
    if (!any)
        throw py::type_error("samples are a numpy array (or anything numpy.asarray takes), of floats");
    if (any.dtype().kind() != 'f')
        throw py::type_error("samples are floating point (float32 or float64, full scale at 1.0), not " +
                             py::str(any.dtype()).cast<std::string>() +
                             "; scale PCM integers first (int16: divide by 32768)");
    if (any.ndim() < 1 || any.ndim() > 2)
        throw py::value_error("samples are shaped (frames,) or (frames, channels); this array has " +
                              std::to_string(any.ndim()) + " dimensions");
    InputFrames in;
    const bool native = (any.dtype().byteorder() == '=' || any.dtype().byteorder() == '<' ||
                         any.dtype().byteorder() == '|');
    const bool inPlace = native && (py::array_t<float>::check_(any) || py::array_t<double>::check_(any)) &&
                         any.itemsize() > 0 && any.strides(0) % any.itemsize() == 0 &&
                         (any.ndim() == 1 || any.strides(1) % any.itemsize() == 0);
    in.samples = inPlace ? any : py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(any);
    in.perChannel = any.ndim() == 2;
    in.channelsFirst = in.perChannel && readsChannelsFirst(any.shape(0), any.shape(1), layout, stream);
    const int frameAxis = in.channelsFirst ? 1 : 0;
    in.frames = static_cast<std::uint64_t>(in.samples.shape(frameAxis));
    in.channels = in.perChannel ? static_cast<std::uint32_t>(in.samples.shape(1 - frameAxis)) : 1u;
    const auto item = static_cast<std::ptrdiff_t>(in.samples.itemsize());
    in.frameStride = in.samples.strides(frameAxis) / item;
    in.channelStride = in.perChannel ? in.samples.strides(1 - frameAxis) / item : 1;
    const bool interleaved = (in.frameStride == static_cast<std::ptrdiff_t>(in.channels) || in.frames <= 1) &&
                             (in.channelStride == 1 || in.channels == 1);
    if (py::array_t<float>::check_(in.samples))
    {
        in.singles = static_cast<const float*>(in.samples.data());
        if (interleaved)
            in.floats = in.singles;
    }
    else
    {
        in.doubles = static_cast<const double*>(in.samples.data());
    }
    return in;
}

namespace
{
template <typename Sample>
void gather(const Sample* samples, std::ptrdiff_t frameStride, std::ptrdiff_t channelStride, std::uint32_t channels,
            std::uint64_t first, std::uint32_t count, float* into)
{
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        const Sample* from = samples + static_cast<std::ptrdiff_t>(first) * frameStride + c * channelStride;
        float* to = into + c;
        for (std::uint32_t i = 0; i < count; ++i, from += frameStride, to += channels)
            *to = static_cast<float>(*from);
    }
}
} // namespace

void InputFrames::read(std::uint64_t first, std::uint32_t count, float* into) const
{
    if (floats != nullptr)
        std::copy_n(floats + static_cast<std::size_t>(first) * channels, static_cast<std::size_t>(count) * channels,
                    into);
    else if (singles != nullptr)
        gather(singles, frameStride, channelStride, channels, first, count, into);
    else
        gather(doubles, frameStride, channelStride, channels, first, count, into);
}

OutputSamples::OutputSamples(std::uint32_t channels, std::uint64_t expectedFrames)
    : m_channels(channels), m_capacity(static_cast<std::size_t>(expectedFrames) * channels)
{
    m_samples = static_cast<float*>(std::malloc(std::max<std::size_t>(m_capacity, 1) * sizeof(float)));
    if (m_samples == nullptr)
        throw std::bad_alloc();
}

OutputSamples::~OutputSamples()
{
    std::free(m_samples);
}

pipeline::EffectRun::Sink OutputSamples::sink()
{
    return [this](const float* interleaved, std::uint32_t frames) {
        add(interleaved, frames);
        return true;
    };
}

void OutputSamples::add(const float* interleaved, std::uint32_t frames)
{
    const std::size_t n = static_cast<std::size_t>(frames) * m_channels;
    if (m_size + n > m_capacity)
    {
        const std::size_t capacity = std::max(m_size + n, m_capacity + m_capacity / 2);
        auto* grown = static_cast<float*>(std::realloc(m_samples, capacity * sizeof(float)));
        if (grown == nullptr)
            throw std::bad_alloc();
        m_samples = grown;
        m_capacity = capacity;
    }
    std::memcpy(m_samples + m_size, interleaved, n * sizeof(float));
    m_size += n;
}

void OutputSamples::keepFrames(std::uint64_t frames)
{
    m_size = std::min(m_size, static_cast<std::size_t>(frames) * m_channels);
}

py::array OutputSamples::release(bool perChannel, bool channelsFirst)
{
    // What was set aside and not used goes back (in place).
    if (m_size > 0 && m_size < m_capacity)
        if (auto* fitted = static_cast<float*>(std::realloc(m_samples, m_size * sizeof(float))))
            m_samples = fitted;
    float* samples = std::exchange(m_samples, nullptr);
    const auto frames = static_cast<py::ssize_t>(m_channels > 0 ? m_size / m_channels : 0);
    m_size = m_capacity = 0;
    const auto channels = static_cast<py::ssize_t>(m_channels);
    if (perChannel && channelsFirst)
    {
        // Laid out as it was given, one channel after another.
        py::array_t<float> planar({channels, frames});
        float* to = planar.mutable_data();
        for (py::ssize_t c = 0; c < channels; ++c)
            for (py::ssize_t i = 0; i < frames; ++i)
                to[c * frames + i] = samples[i * channels + c];
        std::free(samples);
        return std::move(planar);
    }
    py::capsule owner(samples, [](void* p) { std::free(p); });
    if (perChannel)
        return py::array_t<float>({frames, channels}, samples, owner);
    return py::array_t<float>({frames}, samples, owner);
}
} // namespace crumlet_python
