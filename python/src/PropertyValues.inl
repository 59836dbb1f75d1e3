// The template half of PropertyValues.h.
#pragma once

#include "cli/render/PlanErrors.h"
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
    catch (const PlanErrors& e)
    {
        // The summary, then every error a line.
        std::string message = e.what();
        for (const auto& error : e.errors)
            message += "\n" + error;
        throw pybind11::value_error(inPythonWords(message));
    }
    catch (const UsageError& e)
    {
        throw pybind11::value_error(inPythonWords(e.what()));
    }
    catch (const IoError& e)
    {
        PyErr_SetString(PyExc_OSError, inPythonWords(e.what()).c_str());
        throw pybind11::error_already_set();
    }
}
} // namespace crumlet_python
