#include "params/ValueLists.h"

#include <algorithm>
#include <cctype>

namespace
{
// clang-format off
constexpr const char* kDistortionModes[] = {"Sat1", "Sat2", "Fuzz", "LoFi", "Soft", "Stun", "Ouch", "Hard", "Nuke", "Clip"};
constexpr const char* kBitDepths[] = {"Off", "16", "15", "14", "13", "12", "11", "10", "9", "8", "7", "6", "5", "4", "3", "2"};
constexpr const char* kDownSampleRates[] = {
    "Off", "24000", "16000", "12000", "9600", "8000", "6857", "6000", "5333", "4800", "4364",
    "4000", "3692", "3429", "3200", "3000", "2824", "2667", "2526", "2400", "2286", "2182",
    "2087", "2000", "1920", "1846", "1778", "1714", "1655", "1600", "1548", "1500", "1455"};
constexpr const char* kSlopes[] = {"12 dB/oct", "24 dB/oct"};
constexpr const char* kEqFilterTypes[] = {"HPF", "EQ", "LPF"};
// clang-format on

template <typename Container>
std::vector<std::string> toList(const Container& entries)
{
    return std::vector<std::string>(std::begin(entries), std::end(entries));
}

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

std::vector<std::string> valueListOf(ParameterId id)
{
    switch (id)
    {
    case ParamId::DistortionMode: return toList(kDistortionModes);
    case ParamId::SIMType: return toList(g_deviceNames);
    case ParamId::LoFiBitDepthType: return toList(kBitDepths);
    case ParamId::LoFiDownSampleIndex: return toList(kDownSampleRates);
    case ParamId::FiltersLPFSlope:
    case ParamId::FiltersHPFSlope: return toList(kSlopes);
    case ParamId::EQFilterType: return toList(kEqFilterTypes);
    default: return {};
    }
}

int findValueText(ParameterId id, const std::string& text)
{
    const auto list = valueListOf(id);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == text)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (equalsIgnoringCase(list[i], text))
            return static_cast<int>(i);
    return -1;
}
