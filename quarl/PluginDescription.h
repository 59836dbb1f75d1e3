// The host's description of a plugin, read from the JSON file the product ships beside
// its module: the plugin's identity and its properties (name, type, how a single-parameter
// update carries the value, range, default) in the order of its parameter block. The host
// learns the properties from here, not from the module's code.
#pragma once

#include "params/ValueCodec.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace quarl
{
struct DescriptionError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// How the host holds a property (VT_BOOL, VT_I4, VT_R4) and how the parameter block carries it.
using PropertyType = ValueType;

struct PropertyDescription
{
    std::string name;
    std::basic_string<WCHAR> wideName; // the name as the plugin object passes it (UTF-16)
    PropertyType type = PropertyType::Float;
    PropertyType update = PropertyType::Float; // how an update carries the value; the type unless told
    double minValue = 0.0; // 0 and 1 for a bool
    double maxValue = 0.0;
    double defaultValue = 0.0; // 1 or 0 for a bool
    std::int32_t id = -1;      // the plugin's own identifier for the property, -1 when not given
    std::string unit;          // as the user reads the value ("dB", "Hz", ...); may be empty
    std::vector<std::string> values; // names of an int's values, min first; empty when it has none

    // The number of whole values (2 for a bool), or 0 for a continuous float.
    std::int32_t steps() const;
};

struct PluginDescription
{
    std::string module; // the module's name without "lib" and extension, e.g. "OrvexCrumlet"
    std::string name;
    std::uint32_t companyId = 0;
    std::uint32_t pluginId = 0;
    std::vector<PropertyDescription> properties;

    // Index of a property by exact name, or -1.
    int indexOf(const std::string& propertyName) const;
    int indexOf(LPCWSTR propertyName) const;

    // Reads and checks a description; throws DescriptionError saying what is wrong.
    static PluginDescription parse(const std::string& json);
    static PluginDescription load(const std::string& path);
};

const char* toString(PropertyType type);
} // namespace quarl
