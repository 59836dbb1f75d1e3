#include "tools/parameters/ParameterFiles.h"

#include "host/PluginIds.h"
#include "params/ParameterTable.h"
#include "params/ValueLists.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <vector>

const char* const kStubsBegin = "# Begin: one attribute per parameter, written by crumlet-parameter-files.";
const char* const kStubsEnd = "# End: the attributes written by crumlet-parameter-files.";

namespace
{
using FieldValue = std::optional<std::string>;

std::string quoted(const std::string& text)
{
    return nlohmann::json(text).dump();
}

// A whole value as an integer (20000), any other as the shortest text that reads back as the
// same single-precision value (0.1, not 0.100000001).
std::string number(float v)
{
    char text[32];
    if (v == std::trunc(v) && std::fabs(v) < 1e9f)
    {
        std::snprintf(text, sizeof text, "%.0f", static_cast<double>(v));
        return text;
    }
    for (int digits = 1; digits <= 9; ++digits)
    {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(v));
        if (std::strtof(text, nullptr) == v)
            break;
    }
    return text;
}

// Per host type: its name in the description, and the type Python reads the attribute back as
// (a switch as a bool, a list as its value text).
struct TypeNames
{
    const char* description;
    const char* attribute;
};
constexpr TypeNames kTypeNames[] = {{"bool", "bool"}, {"int", "str"}, {"float", "float"}};
static_assert(static_cast<int>(HostType::Bool) == 0 && static_cast<int>(HostType::Int) == 1 &&
                  static_cast<int>(HostType::Float) == 2,
              "kTypeNames is in the order of HostType");

const TypeNames& namesOf(HostType type)
{
    return kTypeNames[static_cast<int>(type)];
}

// Value lists up to this many texts stand on the property's line; longer ones one text a line.
constexpr std::size_t kTextsOnOneLine = 16;

FieldValue valueTexts(const ParameterDefinition& p)
{
    const std::vector<std::string> texts = valueListOf(p.id);
    if (texts.empty())
        return std::nullopt;
    const bool oneLine = texts.size() <= kTextsOnOneLine;
    std::string list = oneLine ? "[" : "[\n";
    for (std::size_t i = 0; i < texts.size(); ++i)
    {
        const bool last = i + 1 == texts.size();
        list += oneLine ? quoted(texts[i]) + (last ? "" : ", ") : "       " + quoted(texts[i]) + (last ? "\n" : ",\n");
    }
    return list + (oneLine ? "]" : "    ]");
}

// A property's fields in the order the description gives them: the key, and the value written
// from the parameter's row (nothing when the field does not apply to it).
struct PropertyField
{
    const char* key;
    FieldValue (*value)(const ParameterDefinition&);
};

// clang-format off
constexpr PropertyField kPropertyFields[] = {
    {"name",    [](const ParameterDefinition& p) -> FieldValue { return quoted(toAscii(p.name)); }},
    {"id",      [](const ParameterDefinition& p) -> FieldValue { return std::to_string(p.id); }},
    {"type",    [](const ParameterDefinition& p) -> FieldValue { return quoted(namesOf(p.hostType).description); }},
    {"update",  [](const ParameterDefinition& p) -> FieldValue { return quoted(namesOf(p.update).description); }},
    {"min",     [](const ParameterDefinition& p) -> FieldValue { if (p.hostType == HostType::Bool) return std::nullopt; return number(p.minValue); }},
    {"max",     [](const ParameterDefinition& p) -> FieldValue { if (p.hostType == HostType::Bool) return std::nullopt; return number(p.maxValue); }},
    {"default", [](const ParameterDefinition& p) -> FieldValue { if (p.hostType == HostType::Bool) return p.defaultValue != 0.f ? "true" : "false"; return number(p.defaultValue); }},
    {"unit",    [](const ParameterDefinition& p) -> FieldValue { if (*p.unit == '\0') return std::nullopt; return quoted(p.unit); }},
    {"values",  valueTexts},
};
// clang-format on

std::string property(const ParameterDefinition& p)
{
    std::string text = "{";
    for (const PropertyField& field : kPropertyFields)
        if (const FieldValue value = field.value(p))
            text += (text.size() > 1 ? ", " : "") + quoted(field.key) + ": " + *value;
    return text + "}";
}

} // namespace

std::string pluginDescription()
{
    std::string text = "{\n"
                       "  \"description\": \"Crumlet's properties as the host holds them, in the order of the parameter "
                       "block; \\\"update\\\" is how a single-parameter update carries the value to the sound engine.\",\n"
                       "  \"module\": \"OrvexCrumlet\",\n"
                       "  \"plugin\": {\"name\": \"Crumlet\", \"type\": \"effect\", \"companyId\": " +
                       std::to_string(kOrvexCompanyId) + ", \"pluginId\": " + std::to_string(kCrumletPluginId) +
                       "},\n"
                       "  \"properties\": [\n";
    for (std::size_t i = 0; i < kParameterCount; ++i)
        text += "    " + property(g_parameterDefinitions[i]) + (i + 1 < kParameterCount ? ",\n" : "\n");
    return text + "  ]\n}\n";
}

std::string withPropertyAttributes(const std::string& stubs)
{
    const std::size_t begin = stubs.find(kStubsBegin);
    const std::size_t end = stubs.find(kStubsEnd);
    if (begin == std::string::npos || end == std::string::npos || end < begin)
        throw std::runtime_error(std::string("the stubs lack the lines \"") + kStubsBegin + "\" and \"" + kStubsEnd +
                                 "\"");
    const std::size_t lineStart = stubs.rfind('\n', begin) + 1;
    const std::string indent = stubs.substr(lineStart, begin - lineStart);
    const std::size_t firstAttribute = stubs.find('\n', begin) + 1;
    const std::size_t endLine = stubs.rfind('\n', end) + 1;

    std::string attributes;
    for (const ParameterDefinition& p : g_parameterDefinitions)
        attributes += indent + toAscii(p.name) + ": " + namesOf(p.hostType).attribute + "\n";
    return stubs.substr(0, firstAttribute) + attributes + stubs.substr(endLine);
}
