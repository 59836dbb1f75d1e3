#include "cli/ParameterSettings.h"

#include "cli/UsageError.h"
#include "quarl/PropertySet.h"

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

int findListEntry(const std::vector<std::string>& list, const std::string& text)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == text)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (lower(list[i]) == lower(text))
            return static_cast<int>(i);
    return -1;
}

std::size_t valueBytes(quarl::PropertyType type)
{
    return type == quarl::PropertyType::Bool ? 1 : 4;
}
} // namespace

std::string describeRange(const quarl::PropertyDescription& p)
{
    if (p.type == quarl::PropertyType::Bool)
        return "on or off (1 or 0)";
    std::string range = formatNumber(static_cast<float>(p.minValue)) + " to " + formatNumber(static_cast<float>(p.maxValue));
    if (!p.unit.empty())
        range += " " + p.unit;
    if (!p.values.empty())
    {
        range += " (list index), or one of: ";
        const std::size_t shown = std::min<std::size_t>(p.values.size(), 6);
        for (std::size_t i = 0; i < shown; ++i)
            range += (i > 0 ? ", \"" : "\"") + p.values[i] + "\"";
        if (shown < p.values.size())
            range += ", ... (" + std::to_string(p.values.size()) + " entries)";
    }
    return range;
}

std::size_t blockSizeOf(const quarl::PluginDescription& description)
{
    std::size_t bytes = 0;
    for (const auto& p : description.properties)
        bytes += valueBytes(p.type);
    return bytes;
}

namespace
{
// The property's index, or UsageError suggesting the closest names.
std::size_t requireProperty(const quarl::PluginDescription& d, const std::string& name)
{
    const int index = d.indexOf(name);
    if (index >= 0)
        return static_cast<std::size_t>(index);
    std::vector<std::pair<std::size_t, std::string>> near;
    for (const auto& p : d.properties)
        near.emplace_back(editDistance(name, p.name), p.name);
    std::sort(near.begin(), near.end());
    std::string message = "unknown property \"" + name + "\"";
    if (!near.empty() && near[0].first <= std::max<std::size_t>(3, name.size() / 3))
        message += "; did you mean \"" + near[0].second + "\"?";
    throw UsageError(message);
}
} // namespace

ParameterSettings::ParameterSettings(const quarl::PluginDescription& description) : m_description(&description)
{
    for (const auto& p : description.properties)
        m_values.push_back(p.defaultValue);
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
    const std::size_t index = requireProperty(*m_description, name);
    const quarl::PropertyDescription& p = m_description->properties[index];
    const std::string text = trim(valueText);
    auto outOfRange = [&]() {
        return UsageError("\"" + p.name + "\" takes " + describeRange(p) + "; \"" + text + "\" is not one of them");
    };

    float v = 0.f;
    auto asNumber = [&]() {
        return parseNumber(text, p.unit.c_str(), v) && v >= p.minValue && v <= p.maxValue &&
               (p.type != quarl::PropertyType::Int || v == std::trunc(v));
    };
    auto asListText = [&]() {
        int entry = findListEntry(p.values, text);
        // Numeric entries may carry their unit: "12 bits", "8000 Hz".
        for (const char* unit : {" bits", "bits", " bit", "bit", " hz", "hz"})
        {
            const std::string t = lower(text);
            const std::string u = unit;
            if (entry < 0 && t.size() > u.size() && t.compare(t.size() - u.size(), u.size(), u) == 0)
                entry = findListEntry(p.values, trim(text.substr(0, text.size() - u.size())));
        }
        v = static_cast<float>(p.minValue + entry);
        return entry >= 0;
    };

    if (p.type == quarl::PropertyType::Bool)
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
    m_values[index] = v;
}

double ParameterSettings::value(const std::string& name) const
{
    const int index = m_description->indexOf(name);
    return index >= 0 ? m_values[static_cast<std::size_t>(index)] : std::nan("");
}

std::string ParameterSettings::valueText(std::size_t property) const
{
    const quarl::PropertyDescription& p = m_description->properties.at(property);
    const double v = m_values[property];
    if (p.type == quarl::PropertyType::Bool)
        return v != 0.0 ? "on" : "off";
    const double entry = v - p.minValue;
    if (!p.values.empty() && entry >= 0.0 && entry < static_cast<double>(p.values.size()))
    {
        const auto i = static_cast<std::size_t>(entry);
        if (findListEntry(p.values, p.values[i]) == static_cast<int>(i))
            return p.values[i];
    }
    return formatNumber(static_cast<float>(v));
}

void ParameterSettings::loadBlock(const std::vector<std::uint8_t>& block)
{
    const std::size_t expected = blockSizeOf(*m_description);
    if (block.size() != expected)
        throw UsageError("a parameter block is " + std::to_string(expected) + " bytes; this one is " +
                         std::to_string(block.size()));
    std::size_t offset = 0;
    for (std::size_t i = 0; i < m_values.size(); ++i)
    {
        const quarl::PropertyType type = m_description->properties[i].type;
        std::uint32_t bits = 0;
        for (std::size_t b = 0; b < valueBytes(type); ++b)
            bits |= static_cast<std::uint32_t>(block[offset + b]) << (8 * b);
        switch (type)
        {
        case quarl::PropertyType::Bool: m_values[i] = bits != 0 ? 1.0 : 0.0; break;
        case quarl::PropertyType::Int: m_values[i] = static_cast<std::int32_t>(bits); break;
        case quarl::PropertyType::Float: {
            float f;
            std::memcpy(&f, &bits, sizeof f);
            m_values[i] = f;
            break;
        }
        }
        offset += valueBytes(type);
    }
}

void ParameterSettings::applyTo(quarl::PropertySet& properties) const
{
    for (std::size_t i = 0; i < m_values.size(); ++i)
        properties.set(m_description->properties[i].name, m_values[i]);
}
