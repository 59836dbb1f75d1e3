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

    // Sets one property from a value text: a number in the property's units, a list
    // entry's text ("Fuzz", "8000", "24 dB/oct"), or on/off for a switch.
    void set(const std::string& name, const std::string& valueText);

    float value(ParameterId id) const;

    // The 139-byte block, in host order, as the host's block writer packs it.
    std::vector<std::uint8_t> toBlock() const;

private:
    std::array<float, kParameterCount> m_values{};
};

// Describes a property's accepted values, e.g. "-96 to 0 dB" or "0 to 9 (Sat1, Sat2, ...)".
std::string describeRange(const ParameterDefinition& def);

// Finds a definition by name or throws UsageError, suggesting the closest names.
const ParameterDefinition& requireParameter(const std::string& name);
