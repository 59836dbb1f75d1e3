#include "params/ParameterTable.h"

#include <cstring>

// Every table here is constant-initialised, as g_parameterDefinitions is: complete before any
// code of the module runs, whichever static initialiser or start-up step asks first.
namespace
{
constexpr std::array<ParameterInfo, ParamId::TableRows> buildParameterTable()
{
    std::array<ParameterInfo, ParamId::TableRows> table{};
    for (auto& row : table)
        row = ParameterInfo{ZQ_TEXT("NULL"), 0.f, 0.f, 0.f, 0, 1.f, 1.f};
    for (const auto& def : g_parameterDefinitions)
        table[static_cast<std::size_t>(def.id)] = ParameterInfo{
            def.name, def.minValue, def.maxValue, def.defaultValue, def.steps, def.aux, def.aux};
    return table;
}

constexpr std::array<DisplayNameEntry, kParameterCount + 1> buildDisplayNameTable()
{
    std::array<DisplayNameEntry, kParameterCount + 1> table{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
        table[i] = DisplayNameEntry{g_parameterDefinitions[i].name, g_parameterDefinitions[i].stringId};
    table[kParameterCount] = DisplayNameEntry{nullptr, 0};
    return table;
}

constexpr auto kParameterTable = buildParameterTable();
constexpr auto kDisplayNameTable = buildDisplayNameTable();
static_assert(kDisplayNameTable[kParameterCount].name == nullptr, "the display-name table ends in a null entry");
} // namespace

// Copies of constant expressions: constant initialisation, no code runs to fill them.
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
