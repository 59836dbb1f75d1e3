// The forty parameters: identifiers, stages, property names, host types, how a single-parameter
// update carries each, ranges, defaults, step counts and display-name string ids. Every other
// table is derived from g_parameterDefinitions, which lists them in host order: the identifier
// table and the display-name table here, the block's size and offsets, the engine's enable bits and stage
// order, and the files that tools/parameters writes.
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

namespace parameter_rows
{
using HT = HostType;
using S = ParameterStage;
namespace P = ParamId;

// The nearest single-precision value to 0.1 (0x3DCCCCCD).
constexpr float kTenthMs = 0.1f;

// The rows as an array of as many entries as they are.
template <std::size_t N>
constexpr std::array<ParameterDefinition, N> rowsOf(const ParameterDefinition (&rows)[N])
{
    std::array<ParameterDefinition, N> table{};
    for (std::size_t i = 0; i < N; ++i)
        table[i] = rows[i];
    return table;
}

// clang-format off
inline constexpr auto kHostOrder = rowsOf({
//   id                     stage          property name                     type       update     min      max     default steps aux  string unit
    {P::FiltersEnable,       S::Filters,    ZQ_TEXT("FiltersEnable"),         HT::Bool,  HT::Bool,   0.f,     1.f,     1.f,   2, 1.f, 21024, ""},
    {P::FiltersLPFSlope,     S::Filters,    ZQ_TEXT("FiltersLPFSlope"),       HT::Int,   HT::Int,    0.f,     1.f,     0.f,   2, 1.f, 21029, ""},
    {P::FiltersLPFFreq,      S::Filters,    ZQ_TEXT("FiltersLPFFreq"),        HT::Float, HT::Float, 20.f, 20000.f, 18000.f,   0, 1.f, 21030, "Hz"},
    {P::FiltersLPFQ,         S::Filters,    ZQ_TEXT("FiltersLPFQ"),           HT::Float, HT::Float,  0.f,   100.f,     0.f,   0, 1.f, 21031, "%"},
    {P::FiltersHPFSlope,     S::Filters,    ZQ_TEXT("FiltersHPFSlope"),       HT::Int,   HT::Int,    0.f,     1.f,     0.f,   2, 1.f, 21032, ""},
    {P::FiltersHPFFreq,      S::Filters,    ZQ_TEXT("FiltersHPFFreq"),        HT::Float, HT::Float, 20.f, 20000.f,    40.f,   0, 1.f, 21033, "Hz"},
    {P::FiltersHPFQ,         S::Filters,    ZQ_TEXT("FiltersHPFQ"),           HT::Float, HT::Float,  0.f,   100.f,     0.f,   0, 1.f, 21034, "%"},
    {P::DistortionEnable,    S::Distortion, ZQ_TEXT("DistortionEnable"),      HT::Bool,  HT::Bool,   0.f,     1.f,     1.f,   2, 1.f, 21019, ""},
    {P::DistortionMode,      S::Distortion, ZQ_TEXT("DistortionMode"),        HT::Int,   HT::Int,    0.f,     9.f,     0.f,  10, 1.f, 21004, ""},
    {P::DistortionAmount,    S::Distortion, ZQ_TEXT("DistortionAmount"),      HT::Float, HT::Float,  0.f,   100.f,     0.f,   0, 1.f, 21001, "%"},
    {P::DistortionIntensity, S::Distortion, ZQ_TEXT("DistortionIntensity"),   HT::Float, HT::Float,  0.f,   100.f,     0.f,   0, 1.f, 21002, "%"},
    {P::DistortionRectify,   S::Distortion, ZQ_TEXT("DistortionRectify"),     HT::Float, HT::Float,  0.f,   100.f,     0.f,   0, 1.f, 21003, "%"},
    {P::EQEnable,            S::Eq,         ZQ_TEXT("EQEnable"),              HT::Bool,  HT::Bool,   0.f,     1.f,     1.f,   2, 1.f, 21041, ""},
    {P::EQFilterType,        S::Eq,         ZQ_TEXT("EQFilterType"),          HT::Int,   HT::Int,    0.f,     2.f,     1.f,   3, 1.f, 21025, ""},
    {P::EQFreq,              S::Eq,         ZQ_TEXT("EQFreq"),                HT::Float, HT::Float, 120.f, 12000.f,  1000.f,   0, 1.f, 21026, "Hz"},
    {P::EQQ,                 S::Eq,         ZQ_TEXT("EQQ"),                   HT::Float, HT::Float,  0.f,   100.f,     0.f,   0, 1.f, 21027, "%"},
    {P::EQGain,              S::Eq,         ZQ_TEXT("EQGain"),                HT::Float, HT::Float, -12.f,   12.f,     0.f,   0, 1.f, 21028, "dB"},
    {P::NoiseEnable,         S::Noise,      ZQ_TEXT("NoiseEnable"),           HT::Bool,  HT::Bool,   0.f,     1.f,     1.f,   2, 1.f, 21023, ""},
    {P::NoiseLevel,          S::Noise,      ZQ_TEXT("NoiseLevel"),            HT::Float, HT::Float, -96.f,    0.f,   -96.f,   0, 1.f, 21035, "dB"},
    {P::NoiseLPFFreq,        S::Noise,      ZQ_TEXT("NoiseLPFFreq"),          HT::Float, HT::Float, 20.f, 20000.f, 18000.f,   0, 1.f, 21036, "Hz"},
    {P::NoiseHPFFreq,        S::Noise,      ZQ_TEXT("NoiseHPFFreq"),          HT::Float, HT::Float, 20.f, 20000.f,    40.f,   0, 1.f, 21037, "Hz"},
    {P::NoiseThresh,         S::Noise,      ZQ_TEXT("NoiseThresh"),           HT::Float, HT::Float, -40.f,    0.f,     0.f,   0, 1.f, 21038, "dB"},
    {P::NoiseRange,          S::Noise,      ZQ_TEXT("NoiseRange"),            HT::Float, HT::Float, -40.f,    0.f,   -20.f,   0, 1.f, 21039, "dB"},
    {P::NoiseRecovery,       S::Noise,      ZQ_TEXT("NoiseRecovery"),         HT::Float, HT::Float,  2.f,   200.f,    20.f,   0, 1.f, 21040, "ms"},
    {P::SIMEnable,           S::Sim,        ZQ_TEXT("SIMEnable"),             HT::Bool,  HT::Bool,   0.f,     1.f,     1.f,   2, 1.f, 21021, ""},
    {P::SIMType,             S::Sim,        ZQ_TEXT("SIMType"),               HT::Int,   HT::Int,    0.f,   163.f,     0.f, 164, 1.f, 21017, ""},
    {P::SIMTuning,           S::Sim,        ZQ_TEXT("SIMTuning"),             HT::Float, HT::Float, 50.f,   200.f,   100.f,   0, 1.f, 21018, "%"},
    {P::GateEnable,          S::Gate,       ZQ_TEXT("GateEnable"),            HT::Bool,  HT::Bool,   0.f,     1.f,     1.f,   2, 1.f, 21020, ""},
    {P::GateThreshold,       S::Gate,       ZQ_TEXT("GateThreshold"),         HT::Float, HT::Float, -80.f,    0.f,   -40.f,   0, 1.f, 21009, "dB"},
    {P::GateRange,           S::Gate,       ZQ_TEXT("GateRange"),             HT::Float, HT::Float, -80.f,    0.f,     0.f,   0, 1.f, 21010, "dB"},
    {P::GateAttackTime,      S::Gate,       ZQ_TEXT("GateAttackTime"),        HT::Float, HT::Float, kTenthMs, 100.f,   1.f,   0, 1.f, 21011, "ms"},
    {P::GateHoldTime,        S::Gate,       ZQ_TEXT("GateHoldTime"),          HT::Float, HT::Float, kTenthMs, 100.f,  10.f,   0, 1.f, 21012, "ms"},
    {P::GateReleaseTime,     S::Gate,       ZQ_TEXT("GateReleaseTime"),       HT::Float, HT::Float, 10.f,  1000.f,   100.f,   0, 1.f, 21013, "ms"},
    {P::LoFiEnable,          S::LoFi,       ZQ_TEXT("LoFiEnable"),            HT::Bool,  HT::Bool,   0.f,     1.f,     1.f,   2, 1.f, 21022, ""},
    {P::LoFiBitDepthType,    S::LoFi,       ZQ_TEXT("LoFiBitDepthType"),      HT::Int,   HT::Float,  0.f,    15.f,     0.f,  16, 1.f, 21014, ""},
    {P::LoFiDownSampleIndex, S::LoFi,       ZQ_TEXT("LoFiDownSampleIndex"),   HT::Int,   HT::Float,  0.f,    32.f,     0.f,  33, 1.f, 21015, ""},
    {P::LoFiFilter,          S::LoFi,       ZQ_TEXT("LoFiFilter"),            HT::Float, HT::Float,  0.f,   100.f,     0.f,   0, 0.f, 21016, "%"},
    {P::InputGain,           S::Gains,      ZQ_TEXT("InputGain"),             HT::Float, HT::Float, -24.f,   24.f,     0.f,   0, 1.f, 21005, "dB"},
    {P::OutputGain,          S::Gains,      ZQ_TEXT("OutputGain"),            HT::Float, HT::Float, -24.f,   24.f,     0.f,   0, 1.f, 21006, "dB"},
    {P::Balance,             S::Gains,      ZQ_TEXT("Balance"),               HT::Float, HT::Float,  0.f,   100.f,   100.f,   0, 1.f, 21007, "%"},
});
// clang-format on
} // namespace parameter_rows

// The forty parameters in host order (the order of the parameter block). A constant
// expression: complete before any code of the module runs, whichever static initialiser or
// start-up step asks first.
inline constexpr auto g_parameterDefinitions = parameter_rows::kHostOrder;

constexpr std::size_t kParameterCount = g_parameterDefinitions.size();

// Size of one value of this host type in the parameter block.
constexpr std::size_t blockSizeOf(HostType type)
{
    return valueSizeOf(type);
}

// The parameter block: every parameter's value in host order, packed without gaps.
constexpr std::size_t kParameterBlockSize = [] {
    std::size_t bytes = 0;
    for (const ParameterDefinition& p : g_parameterDefinitions)
        bytes += blockSizeOf(p.hostType);
    return bytes;
}();

// Known answers: the forty properties and the 139 bytes that the host's banks hold.
static_assert(kParameterCount == 40, "forty parameters");
static_assert(kParameterBlockSize == 139, "a parameter block of 139 bytes");

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

// Byte offset of the host-order entry `index` within the parameter block.
std::size_t blockOffsetOf(std::size_t index);

// Property names are ASCII; these convert between the wide form and std::string.
std::string toAscii(LPCWSTR text);
bool wideEquals(LPCWSTR a, LPCWSTR b);
