#include "params/ParameterTable.h"

#include <cstring>

namespace
{
using HT = HostType;
using S = ParameterStage;
namespace P = ParamId;

// The nearest single-precision value to 0.1 (0x3DCCCCCD).
constexpr float kTenthMs = 0.1f;
} // namespace

// Every table here is constant-initialised: complete before any code of the module runs,
// whichever static initialiser or start-up step asks first.
// clang-format off
constexpr std::array<ParameterDefinition, kParameterCount> kDefinitions = {{
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
}};
// clang-format on

namespace
{
constexpr std::array<ParameterInfo, ParamId::TableRows> buildParameterTable()
{
    std::array<ParameterInfo, ParamId::TableRows> table{};
    for (auto& row : table)
        row = ParameterInfo{ZQ_TEXT("NULL"), 0.f, 0.f, 0.f, 0, 1.f, 1.f};
    for (const auto& def : kDefinitions)
        table[static_cast<std::size_t>(def.id)] = ParameterInfo{
            def.name, def.minValue, def.maxValue, def.defaultValue, def.steps, def.aux, def.aux};
    return table;
}

constexpr std::array<DisplayNameEntry, kParameterCount + 1> buildDisplayNameTable()
{
    std::array<DisplayNameEntry, kParameterCount + 1> table{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
        table[i] = DisplayNameEntry{kDefinitions[i].name, kDefinitions[i].stringId};
    table[kParameterCount] = DisplayNameEntry{nullptr, 0};
    return table;
}

constexpr auto kParameterTable = buildParameterTable();
constexpr auto kDisplayNameTable = buildDisplayNameTable();
static_assert(kDisplayNameTable[kParameterCount].name == nullptr, "the display-name table ends in a null entry");
} // namespace

// Copies of constant expressions: constant initialisation, no code runs to fill them.
const std::array<ParameterDefinition, kParameterCount> g_parameterDefinitions = kDefinitions;
const std::array<ParameterInfo, ParamId::TableRows> g_parameterTable = kParameterTable;
const std::array<DisplayNameEntry, kParameterCount + 1> g_displayNameTable = kDisplayNameTable;

const ParameterDefinition* findParameter(ParameterId id)
{
    for (const auto& def : g_parameterDefinitions)
        if (def.id == id)
            return &def;
    return nullptr;
}

const ParameterDefinition* findParameterByName(const std::string& asciiName)
{
    for (const auto& def : g_parameterDefinitions)
        if (toAscii(def.name) == asciiName)
            return &def;
    return nullptr;
}

std::size_t blockOffsetOf(std::size_t index)
{
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index && i < kParameterCount; ++i)
        offset += blockSizeOf(g_parameterDefinitions[i].hostType);
    return offset;
}

std::string toAscii(LPCWSTR text)
{
    std::string out;
    if (text == nullptr)
        return out;
    for (; *text != 0; ++text)
        out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    return out;
}

bool wideEquals(LPCWSTR a, LPCWSTR b)
{
    if (a == nullptr || b == nullptr)
        return a == b;
    while (*a != 0 && *a == *b)
        ++a, ++b;
    return *a == *b;
}
