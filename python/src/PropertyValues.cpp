#include "python/src/PropertyValues.h"

#include "cli/settings/NameSuggestions.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace py = pybind11;

namespace crumlet_python
{
namespace
{
std::string typeName(const py::handle& value)
{
    return py::str(py::type::of(value).attr("__name__")).cast<std::string>();
}

// Python's bool and numpy's.
bool isBool(const py::handle& value)
{
    if (py::isinstance<py::bool_>(value))
        return true;
    const py::object type = py::type::of(value);
    return py::str(type.attr("__module__")).cast<std::string>() == "numpy" &&
           (typeName(value) == "bool_" || typeName(value) == "bool");
}

// The tool's message for a name it does not know (with what it suggests).
[[noreturn]] void unknownProperty(const ParameterSettings& settings, const std::string& name)
{
    try
    {
        requireProperty(settings.description(), name);
    }
    catch (const UsageError& e)
    {
        // A legend the editor prints is no name Python takes: the property it labels instead.
        std::string message = e.what();
        for (const PropertyAlias& a : propertyAliases())
            for (std::size_t at = message.find("\"" + a.alias + "\""); at != std::string::npos;
                 at = message.find("\"" + a.alias + "\"", at + a.property.size() + 2))
                message.replace(at, a.alias.size() + 2, "\"" + a.property + "\"");
        throw py::key_error(message);
    }
    throw py::key_error("unknown property \"" + name + "\"");
}
} // namespace

int findProperty(const quarl::PluginDescription& description, const std::string& name)
{
    try
    {
        return static_cast<int>(requireProperty(description, name));
    }
    catch (const UsageError&)
    {
        return -1;
    }
}

std::string valueText(const py::handle& value)
{
    if (py::isinstance<py::str>(value))
        return value.cast<std::string>();
    // bool before int: True is an int to Python.
    if (isBool(value))
        return py::bool_(py::reinterpret_borrow<py::object>(value)) ? "on" : "off";
    if (py::hasattr(value, "__index__"))
        return py::str(py::int_(py::reinterpret_borrow<py::object>(value))).cast<std::string>();
    if (py::hasattr(value, "__float__"))
        return py::repr(py::float_(py::reinterpret_borrow<py::object>(value))).cast<std::string>();
    throw py::type_error("a property takes a number, a text or True/False, not " +
                         typeName(value));
}

void setProperty(ParameterSettings& settings, const std::string& name, const py::handle& value)
{
    if (findProperty(settings.description(), name) < 0)
        unknownProperty(settings, name);
    const std::string text = valueText(value);
    readingAsTheTool([&] { settings.set(name, text); });
}

py::object propertyValue(const ParameterSettings& settings, const std::string& name)
{
    const int index = findProperty(settings.description(), name);
    if (index < 0)
        unknownProperty(settings, name);
    const quarl::PropertyDescription& p = settings.description().properties[static_cast<std::size_t>(index)];
    const double v = settings.value(p.name);
    if (p.type == quarl::PropertyType::Bool)
        return py::bool_(v != 0.0);
    if (!p.values.empty())
        return py::str(settings.valueText(static_cast<std::size_t>(index)));
    if (p.type == quarl::PropertyType::Int)
        return py::int_(static_cast<long long>(std::llround(v)));
    // The shortest decimal that is the same single-precision value: -2.2, not -2.200000047683716.
    return py::float_(std::strtod(settings.valueText(static_cast<std::size_t>(index)).c_str(), nullptr));
}

py::dict propertyValues(const ParameterSettings& settings)
{
    py::dict values;
    for (const auto& p : settings.description().properties)
        values[py::str(p.name)] = propertyValue(settings, p.name);
    return values;
}
} // namespace crumlet_python
