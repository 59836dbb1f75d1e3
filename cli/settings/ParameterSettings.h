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
    // One property's value as read from its text, to be set later (or on several settings).
    struct Value
    {
        std::size_t property = 0;
        float value = 0.f;
    };

    // Every property at its default.
    explicit ParameterSettings(const quarl::PluginDescription& description);

    // "NAME=VALUE"; throws UsageError naming the property and its range.
    void assign(const std::string& assignment);

    // Sets one property (its name in any case) from a value text, read the same way on the
    // command line and in preset files:
    // - a number in the property's units, with an optional unit and SI prefix ("-6dB",
    //   "3.4kHz", "3k", "50ms", "0.05s");
    // - for a list, an entry's text ("Fuzz", "24 dB/oct", "12 bits", "8000 Hz"); a bare number
    //   is the entry with that text when there is one ("12" bits, "8000" Hz) and otherwise the
    //   list index; "#N" is always index N;
    // - on/off (1/0, true/false, yes/no) for a switch.
    void set(const std::string& name, const std::string& valueText);
    // Reads as `set` and `assign` do, setting nothing.
    Value read(const std::string& name, const std::string& valueText) const;
    Value readAssignment(const std::string& assignment) const;
    void apply(const Value& value) { m_values[value.property] = value.value; }

    // Sets one property (by index) to a value in its units (a list's entry as min + index):
    // held as `set` holds what it reads. Throws UsageError when the value is out of range.
    void setValue(std::size_t property, double value);
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

// A property's index by its name in any case or its editor legend ("DRIVE"); UsageError
// suggesting the names meant when there is none.
std::size_t requireProperty(const quarl::PluginDescription& description, const std::string& name);

// A property's accepted values, e.g. "-96 to 0 dB" or "0 to 9 (list index), or one of: ...".
std::string describeRange(const quarl::PropertyDescription& property);

// A number in `unit` as property values are written ("-6", "3dB", "3.4kHz", "50ms"), read as
// typed (cli/settings/TypedNumber); false when the text is not one.
bool parseQuantity(const std::string& text, const std::string& unit, float& out);
bool parseQuantity(const std::string& text, const std::string& unit, double& out);

// The index of a property named in any case; throws UsageError suggesting what was meant.
std::size_t propertyIndex(const quarl::PluginDescription& description, const std::string& name);

// Bytes of the parameter block the description lays out.
std::size_t blockSizeOf(const quarl::PluginDescription& description);
