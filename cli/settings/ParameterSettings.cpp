#include "cli/settings/ParameterSettings.h"

#include "cli/io/QuotedText.h"
#include "cli/settings/NameSuggestions.h"
#include "cli/settings/TypedNumber.h"
#include "cli/settings/UsageError.h"
#include "params/ValueCodec.h"
#include "quarl/PropertySet.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
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

// A number followed by nothing, the unit, or a prefixed or alternative form of it:
// "-6", "-6 dB", "3400Hz", "3.4kHz", "3k", "50ms", "0.05s".
bool parseNumber(const std::string& text, const std::string& unit, double& out)
{
    double v = 0.0;
    std::string typedRest;
    if (!readTypedNumber(text, v, typedRest))
        return false;
    const std::string rest = lower(typedRest);
    const std::string u = lower(unit);
    double scale = 0.0;
    if (rest.empty() || rest == u)
        scale = 1.0;
    else if (u == "hz" && (rest == "k" || rest == "khz"))
        scale = 1000.0;
    else if (u == "ms" && (rest == "s" || rest == "sec"))
        scale = 1000.0;
    if (scale == 0.0)
        return false;
    out = v * scale;
    return std::isfinite(static_cast<float>(out));
}

// A list entry named by a number with its unit: "12 bits", "8000 Hz", "8kHz", "8k".
int findNumericEntry(const std::vector<std::string>& list, const std::string& text)
{
    const std::string t = lower(trim(text));
    for (const auto& [suffix, scale] : std::initializer_list<std::pair<const char*, double>>{
             {"bits", 1.0}, {"bit", 1.0}, {"khz", 1000.0}, {"hz", 1.0}, {"k", 1000.0}})
    {
        const std::string u = suffix;
        if (t.size() <= u.size() || t.compare(t.size() - u.size(), u.size(), u) != 0)
            continue;
        const std::string number = trim(t.substr(0, t.size() - u.size()));
        char* end = nullptr;
        const double v = std::strtod(number.c_str(), &end) * scale;
        if (end == number.c_str() || *end != '\0' || !std::isfinite(v) || v != std::round(v))
            return -1;
        const std::string whole = std::to_string(static_cast<long long>(v));
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i] == whole)
                return static_cast<int>(i);
        return -1;
    }
    return -1;
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

bool parseQuantity(const std::string& text, const std::string& unit, double& out)
{
    return parseNumber(text, unit, out);
}

bool parseQuantity(const std::string& text, const std::string& unit, float& out)
{
    double v = 0.0;
    if (!parseNumber(text, unit, v))
        return false;
    out = static_cast<float>(v);
    return true;
}

std::size_t blockSizeOf(const quarl::PluginDescription& description)
{
    std::size_t bytes = 0;
    for (const auto& p : description.properties)
        bytes += valueSizeOf(p.type);
    return bytes;
}

std::size_t requireProperty(const quarl::PluginDescription& d, const std::string& name)
{
    const int index = d.indexOf(name);
    if (index >= 0)
        return static_cast<std::size_t>(index);
    const std::string lowerName = lower(name);
    for (std::size_t i = 0; i < d.properties.size(); ++i)
        if (lower(d.properties[i].name) == lowerName)
            return i;
    // The editor's legend for the control: "DRIVE", "DUCK".
    const std::string aliased = propertyForAlias(name);
    if (!aliased.empty() && d.indexOf(aliased) >= 0)
        return static_cast<std::size_t>(d.indexOf(aliased));
    std::string message = "unknown property " + quoted(name, kQuotedExcerptBytes);
    const std::string suggestion = propertySuggestion(d, name);
    if (!suggestion.empty())
        message += "; " + suggestion;
    throw UsageError(message);
}

std::size_t propertyIndex(const quarl::PluginDescription& description, const std::string& name)
{
    return requireProperty(description, name);
}

ParameterSettings::ParameterSettings(const quarl::PluginDescription& description) : m_description(&description)
{
    for (const auto& p : description.properties)
        m_values.push_back(p.defaultValue);
}

void ParameterSettings::assign(const std::string& assignment)
{
    apply(readAssignment(assignment));
}

ParameterSettings::Value ParameterSettings::readAssignment(const std::string& assignment) const
{
    const auto eq = assignment.find('=');
    if (eq == std::string::npos)
        throw UsageError("expected NAME=VALUE, got " + quoted(assignment, kQuotedExcerptBytes));
    return read(trim(assignment.substr(0, eq)), assignment.substr(eq + 1));
}

void ParameterSettings::set(const std::string& name, const std::string& valueText)
{
    apply(read(name, valueText));
}

ParameterSettings::Value ParameterSettings::read(const std::string& name, const std::string& valueText) const
{
    const std::size_t index = requireProperty(*m_description, name);
    const quarl::PropertyDescription& p = m_description->properties[index];
    const std::string text = trim(valueText);
    auto refused = [&](const char* why) {
        return UsageError("\"" + p.name + "\" takes " + describeRange(p) + "; " + quoted(text, kQuotedExcerptBytes) +
                          why + numberLookalikes(text));
    };
    auto outOfRange = [&]() { return refused(" is not one of them"); };
    // The readings below stop at a NUL, and would take "0dB\0junk" for 0 dB.
    if (text.find('\0') != std::string::npos)
        throw refused(" holds a NUL character");
    auto inRange = [&](float v) {
        return v >= p.minValue && v <= p.maxValue && (p.type != quarl::PropertyType::Int || v == std::trunc(v));
    };

    float v = 0.f;
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
    else if (!p.values.empty())
    {
        // A list: "#N" is always the index; an entry's text wins over an index.
        int entry = -1;
        if (!text.empty() && text[0] == '#')
        {
            if (!parseQuantity(text.substr(1), "", v) || !inRange(static_cast<float>(p.minValue) + v))
                throw outOfRange();
            entry = static_cast<int>(v);
        }
        else if ((entry = findListEntry(p.values, text)) < 0 && (entry = findNumericEntry(p.values, text)) < 0)
        {
            // A bare number for a list of numbers: the value or the index? Neither is guessed.
            int onlyReading = -1;
            const std::string readings = ambiguousListNumber(p, text, onlyReading);
            if (!readings.empty())
                throw UsageError(readings);
            if (onlyReading >= 0)
                v = static_cast<float>(onlyReading);
            else if (!parseQuantity(text, "", v) || !inRange(static_cast<float>(p.minValue) + v))
                throw outOfRange();
            entry = static_cast<int>(v);
        }
        v = static_cast<float>(p.minValue + entry);
    }
    else if (!parseQuantity(text, p.unit, v) || !inRange(v))
    {
        throw outOfRange();
    }
    return {index, v};
}

void ParameterSettings::setValue(std::size_t property, double value)
{
    const quarl::PropertyDescription& p = m_description->properties.at(property);
    const auto v = static_cast<float>(value);
    if (!(v >= p.minValue && v <= p.maxValue) || (p.type != quarl::PropertyType::Float && v != std::trunc(v)))
        throw UsageError("\"" + p.name + "\" takes " + describeRange(p) + "; " + std::to_string(value) +
                         " is not one of them");
    m_values[property] = v;
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
        const quarl::PropertyDescription& p = m_description->properties[i];
        decodeValue(p.type, block.data() + offset, valueSizeOf(p.type), m_values[i]);
        // As the engine reads a block: NaN is the default, anything else is brought into range.
        if (std::isnan(m_values[i]))
            m_values[i] = p.defaultValue;
        m_values[i] = std::clamp(m_values[i], p.minValue, p.maxValue);
        offset += valueSizeOf(p.type);
    }
}

void ParameterSettings::applyTo(quarl::PropertySet& properties) const
{
    for (std::size_t i = 0; i < m_values.size(); ++i)
        properties.set(m_description->properties[i].name, m_values[i]);
}
