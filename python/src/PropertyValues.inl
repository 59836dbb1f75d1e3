// The template half of PropertyValues.h.
#pragma once

#include "cli/settings/UsageError.h"

namespace crumlet_python
{
template <typename Apply>
auto readingAsTheTool(Apply&& apply) -> decltype(apply())
{
    try
    {
        return apply();
    }
    catch (const UsageError& e)
    {
        throw pybind11::value_error(e.what());
    }
    catch (const IoError& e)
    {
        PyErr_SetString(PyExc_OSError, e.what());
        throw pybind11::error_already_set();
    }
}
} // namespace crumlet_python
