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
InputFrames inputFrames(const py::handle& array)
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
    const bool inPlace = (any.flags() & py::array::c_style) != 0 &&
                         (py::array_t<float>::check_(any) || py::array_t<double>::check_(any));
    in.samples = inPlace ? any : py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(any);
    in.frames = static_cast<std::uint64_t>(any.shape(0));
    in.perChannel = any.ndim() == 2;
    in.channels = in.perChannel ? static_cast<std::uint32_t>(any.shape(1)) : 1u;
    if (py::array_t<float>::check_(in.samples))
        in.floats = static_cast<const float*>(in.samples.data());
    else
        in.doubles = static_cast<const double*>(in.samples.data());
    return in;
}

void InputFrames::read(std::uint64_t first, std::uint32_t count, float* into) const
{
    const std::size_t from = static_cast<std::size_t>(first) * channels;
    const std::size_t n = static_cast<std::size_t>(count) * channels;
    if (floats != nullptr)
        std::copy_n(floats + from, n, into);
    else
        std::transform(doubles + from, doubles + from + n, into, [](double v) { return static_cast<float>(v); });
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

py::array OutputSamples::release(bool perChannel)
{
    // What was set aside and not used goes back (in place).
    if (m_size > 0 && m_size < m_capacity)
        if (auto* fitted = static_cast<float*>(std::realloc(m_samples, m_size * sizeof(float))))
            m_samples = fitted;
    float* samples = std::exchange(m_samples, nullptr);
    py::capsule owner(samples, [](void* p) { std::free(p); });
    const auto frames = static_cast<py::ssize_t>(m_channels > 0 ? m_size / m_channels : 0);
    m_size = m_capacity = 0;
    if (perChannel)
        return py::array_t<float>({frames, static_cast<py::ssize_t>(m_channels)}, samples, owner);
    return py::array_t<float>({frames}, samples, owner);
}
} // namespace crumlet_python
