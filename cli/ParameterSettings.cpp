#include "cli/ParameterSettings.h"

#include "cli/UsageError.h"
#include "params/ValueLists.h"
#include "quarl/BankBlockWriter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace
{
std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The shortest text that reads back as the same float (0.1f prints as 0.1).
std::string formatNumber(float v)
{
    for (int precision = 6; precision <= 9; ++precision)
    {
        std::ostringstream out;
        out.precision(precision);
        out << v;
        if (std::strtof(out.str().c_str(), nullptr) == v)
            return out.str();
    }
    return std::to_string(v);
}

// Parses the whole text as a number, allowing the property's unit after it ("-6 dB", "1000Hz").
bool parseNumber(const std::string& text, const char* unit, float& out)
{
    const std::string t = trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    const float v = std::strtof(t.c_str(), &end);
    std::string rest = lower(trim(end));
    if (end == t.c_str() || !(rest.empty() || (unit[0] != '\0' && rest == lower(unit))))
        return false;
    if (!std::isfinite(v))
        return false;
    out = v;
    return true;
}

std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
    {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
        {
            const std::size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::size_t indexOf(const ParameterDefinition& def)
{
    return static_cast<std::size_t>(&def - g_parameterDefinitions.data());
}
} // namespace

std::string describeRange(const ParameterDefinition& def)
{
    if (def.hostType == HostType::Bool)
        return "on or off (1 or 0)";
    std::string range = formatNumber(def.minValue) + " to " + formatNumber(def.maxValue);
    if (def.unit[0] != '\0')
        range += std::string(" ") + def.unit;
    const auto list = valueListOf(def.id);
    if (!list.empty())
    {
        range += " (list index), or one of: ";
        const std::size_t shown = std::min<std::size_t>(list.size(), 6);
        for (std::size_t i = 0; i < shown; ++i)
            range += (i > 0 ? ", \"" : "\"") + list[i] + "\"";
        if (shown < list.size())
            range += ", ... (" + std::to_string(list.size()) + " entries)";
    }
    return range;
}

const ParameterDefinition& requireParameter(const std::string& name)
{
    if (const ParameterDefinition* def = findParameterByName(name))
        return *def;
    std::vector<std::pair<std::size_t, std::string>> near;
    for (const auto& def : g_parameterDefinitions)
    {
        const std::string candidate = toAscii(def.name);
        near.emplace_back(editDistance(name, candidate), candidate);
    }
    std::sort(near.begin(), near.end());
    std::string message = "unknown property \"" + name + "\"";
    if (!near.empty() && near[0].first <= std::max<std::size_t>(3, name.size() / 3))
        message += "; did you mean \"" + near[0].second + "\"?";
    throw UsageError(message);
}

ParameterSettings::ParameterSettings()
{
    for (std::size_t i = 0; i < kParameterCount; ++i)
        m_values[i] = g_parameterDefinitions[i].defaultValue;
}

void ParameterSettings::assign(const std::string& assignment)
{
    const auto eq = assignment.find('=');
    if (eq == std::string::npos)
        throw UsageError("expected NAME=VALUE, got \"" + assignment + "\"");
    set(trim(assignment.substr(0, eq)), assignment.substr(eq + 1));
}

void ParameterSettings::set(const std::string& name, const std::string& valueText, ListReading reading)
{
    const ParameterDefinition& def = requireParameter(name);
    const std::string text = trim(valueText);
    auto outOfRange = [&]() {
        return UsageError("\"" + toAscii(def.name) + "\" takes " + describeRange(def) + "; \"" + text +
                          "\" is not one of them");
    };

    float v = 0.f;
    auto asNumber = [&]() {
        return parseNumber(text, def.unit, v) && v >= def.minValue && v <= def.maxValue &&
               (def.steps == 0 || v == std::trunc(v));
    };
    auto asListText = [&]() {
        int index = findValueText(def.id, text);
        // Numeric entries may carry their unit: "12 bits", "8000 Hz".
        for (const char* unit : {" bits", "bits", " bit", "bit", " hz", "hz"})
        {
            const std::string t = lower(text);
            const std::string u = unit;
            if (index < 0 && t.size() > u.size() && t.compare(t.size() - u.size(), u.size(), u) == 0)
                index = findValueText(def.id, trim(text.substr(0, text.size() - u.size())));
        }
        v = static_cast<float>(index);
        return index >= 0;
    };

    if (def.hostType == HostType::Bool)
    {
        const std::string t = lower(text);
        if (t == "on" || t == "1" || t == "true" || t == "yes")
            v = 1.f;
        else if (t == "off" || t == "0" || t == "false" || t == "no")
            v = 0.f;
        else
            throw outOfRange();
    }
    else if (reading == ListReading::TextFirst ? !(asListText() || asNumber()) : !(asNumber() || asListText()))
    {
        throw outOfRange();
    }
    m_values[indexOf(def)] = v;
}

float ParameterSettings::value(ParameterId id) const
{
    const ParameterDefinition* def = findParameter(id);
    return def != nullptr ? m_values[indexOf(*def)] : 0.f;
}

std::string ParameterSettings::valueText(const ParameterDefinition& def) const
{
    const float v = m_values[indexOf(def)];
    if (def.hostType == HostType::Bool)
        return v != 0.f ? "on" : "off";
    const auto list = valueListOf(def.id);
    const auto index = static_cast<std::size_t>(v);
    if (!list.empty() && v >= 0.f && index < list.size() && findValueText(def.id, list[index]) == static_cast<int>(index))
        return list[index];
    return formatNumber(v);
}

void ParameterSettings::loadBlock(const std::vector<std::uint8_t>& block)
{
    if (block.size() != kParameterBlockSize)
        throw UsageError("a parameter block is " + std::to_string(kParameterBlockSize) + " bytes; this one is " +
                         std::to_string(block.size()));
    std::size_t offset = 0;
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const ParameterDefinition& def = g_parameterDefinitions[i];
        std::uint32_t bits = 0;
        for (std::size_t b = 0; b < blockSizeOf(def.hostType); ++b)
            bits |= static_cast<std::uint32_t>(block[offset + b]) << (8 * b);
        switch (def.hostType)
        {
        case HostType::Bool: m_values[i] = bits != 0 ? 1.f : 0.f; break;
        case HostType::Int: m_values[i] = static_cast<float>(static_cast<std::int32_t>(bits)); break;
        case HostType::Float: std::memcpy(&m_values[i], &bits, sizeof bits); break;
        }
        offset += blockSizeOf(def.hostType);
    }
}

std::vector<std::uint8_t> ParameterSettings::toBlock() const
{
    quarl::BankBlockWriter writer;
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const float v = m_values[i];
        switch (g_parameterDefinitions[i].hostType)
        {
        case HostType::Bool: writer.WriteBool(v != 0.f); break;
        case HostType::Int: writer.WriteInt32(static_cast<std::int32_t>(v)); break;
        case HostType::Float: writer.WriteReal32(v); break;
        }
    }
    return writer.bytes();
}
