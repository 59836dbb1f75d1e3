#include "python/src/SampleArrays.h"

#include <string>

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
    in.samples = py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(any);
    in.frames = static_cast<std::uint64_t>(any.shape(0));
    in.perChannel = any.ndim() == 2;
    in.channels = in.perChannel ? static_cast<std::uint32_t>(any.shape(1)) : 1u;
    return in;
}

py::array outputArray(std::vector<float>&& interleaved, std::uint32_t channels, bool perChannel)
{
    auto* owned = new std::vector<float>(std::move(interleaved));
    py::capsule owner(owned, [](void* p) { delete static_cast<std::vector<float>*>(p); });
    const auto frames = static_cast<py::ssize_t>(channels > 0 ? owned->size() / channels : 0);
    if (perChannel)
        return py::array_t<float>({frames, static_cast<py::ssize_t>(channels)}, owned->data(), owner);
    return py::array_t<float>({frames}, owned->data(), owner);
}
} // namespace crumlet_python
