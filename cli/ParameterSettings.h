// The effect's property values as the user gives them on the command line, in each
// property's own units, checked against the host's description of the plugin.
#pragma once

#include "quarl/PluginDescription.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarl
{
class PropertySet;
}

class ParameterSettings
{
public:
    // Every property at its default.
    explicit ParameterSettings(const quarl::PluginDescription& description);

    // "NAME=VALUE"; throws UsageError naming the property and its range.
    void assign(const std::string& assignment);

    // How a list value that could be read either way ("12" bit-depth) is taken.
    enum class ListReading
    {
        IndexFirst, // a number is the list index (the command line's rule)
        TextFirst,  // an entry's text wins (JSON strings in presets)
    };

    // Sets one property from a value text: a number in the property's units, a list
    // index or entry's text ("Fuzz", "8000", "24 dB/oct", also "12 bits" or "8000 Hz"),
    // or on/off for a switch.
    void set(const std::string& name, const std::string& valueText, ListReading reading = ListReading::IndexFirst);

    // The value of a property (a switch as 1 or 0); NaN for an unknown name.
    double value(const std::string& name) const;

    // The value as `set` takes it back: on/off, a list entry's text, or a number.
    std::string valueText(std::size_t property) const;

    // Takes every value from a parameter block laid out as the description says; throws
    // UsageError when its size is not the block's.
    void loadBlock(const std::vector<std::uint8_t>& block);

    // Writes every value into the host's property set.
    void applyTo(quarl::PropertySet& properties) const;

    const quarl::PluginDescription& description() const { return *m_description; }

private:
    const quarl::PluginDescription* m_description;
    std::vector<double> m_values;
};

// A property's accepted values, e.g. "-96 to 0 dB" or "0 to 9 (list index), or one of: ...".
std::string describeRange(const quarl::PropertyDescription& property);

// Bytes of the parameter block the description lays out.
std::size_t blockSizeOf(const quarl::PluginDescription& description);
