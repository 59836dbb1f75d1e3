// A path from Python (str, bytes or os.PathLike) as the file system's bytes.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace crumlet_python
{
inline std::string pathText(const pybind11::handle& path)
{
    return pybind11::module_::import("os").attr("fsencode")(path).cast<std::string>();
}
} // namespace crumlet_python
