// The forty parameters: identifiers, stages, property names, host types, how a single-parameter
// update carries each, ranges, defaults, step counts and display-name string ids. Every other
// table is derived from g_parameterDefinitions, which lists them in host order.
#pragma once

#include "params/ParameterId.h"
#include "params/ValueCodec.h"
#include "platform/WinTypes.h"

#include <array>
#include <cstddef>
#include <string>

// How the host holds a property (VT_BOOL, VT_I4, VT_R4) and how the parameter block carries it.
using HostType = ValueType;

// The stage a parameter belongs to; the input gain, output gain and balance form a group
// of their own.
enum class ParameterStage : std::uint8_t
{
    Distortion,
    Gate,
    Sim,
    LoFi,
    Gains,
    Filters,
    Eq,
    Noise,
};

struct ParameterDefinition
{
    ParameterId id;
    ParameterStage stage;
    LPCWSTR name;
    HostType hostType;
    ValueType update; // how a single-parameter update carries the value
    float minValue;
    float maxValue;
    float defaultValue;
    std::int32_t steps;
    float aux;
    std::int32_t stringId;
    const char* unit; // as the user sees the value: "dB", "Hz", "ms", "%", or "" for lists and switches
};

constexpr std::size_t kParameterCount = 40;
constexpr std::size_t kParameterBlockSize = 139;

// The forty parameters in host order (the order of the parameter block).
extern const std::array<ParameterDefinition, kParameterCount> g_parameterDefinitions;

// One row per identifier 0..76; vacant rows are named "NULL".
struct ParameterInfo
{
    LPCWSTR name;
    float minValue;
    float maxValue;
    float defaultValue;
    std::int32_t steps;
    float aux1;
    float aux2;
};

extern const std::array<ParameterInfo, ParamId::TableRows> g_parameterTable;

struct DisplayNameEntry
{
    LPCWSTR name;
    std::int32_t stringId;
};

// The forty entries in host order, then one whose name is null.
extern const std::array<DisplayNameEntry, kParameterCount + 1> g_displayNameTable;

// Definition of a parameter by identifier, or null for a vacant or outside one.
const ParameterDefinition* findParameter(ParameterId id);

// Definition by property name (exact, case-sensitive), or null.
const ParameterDefinition* findParameterByName(const std::string& asciiName);

// Size of one value of this host type in the parameter block.
constexpr std::size_t blockSizeOf(HostType type)
{
    return valueSizeOf(type);
}

// Byte offset of the host-order entry `index` within the parameter block.
std::size_t blockOffsetOf(std::size_t index);

// Property names are ASCII; these convert between the wide form and std::string.
std::string toAscii(LPCWSTR text);
bool wideEquals(LPCWSTR a, LPCWSTR b);
