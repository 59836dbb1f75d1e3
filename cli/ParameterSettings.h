// The forty property values as the user sets them on the command line, in the
// property's own units, and the parameter block the host writes from them.
#pragma once

#include "params/ParameterTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class ParameterSettings
{
public:
    // Every property at its default.
    ParameterSettings();

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

    float value(ParameterId id) const;

    // The value as `set` takes it back: on/off, a list entry's text, or a number.
    std::string valueText(const ParameterDefinition& def) const;

    // Takes every value from a parameter block; throws UsageError unless it is 139 bytes.
    void loadBlock(const std::vector<std::uint8_t>& block);

    // The 139-byte block, in host order, as the host's block writer packs it.
    std::vector<std::uint8_t> toBlock() const;

private:
    std::array<float, kParameterCount> m_values{};
};

// Describes a property's accepted values, e.g. "-96 to 0 dB" or "0 to 9 (Sat1, Sat2, ...)".
std::string describeRange(const ParameterDefinition& def);

// Finds a definition by name or throws UsageError, suggesting the closest names.
const ParameterDefinition& requireParameter(const std::string& name);
