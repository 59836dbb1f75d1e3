#include "cli/validate/Automation.h"

#include "params/ValueCodec.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace ZQ::Quarl;

namespace
{
// A whole number as a 32-bit integer carries it: NaN as the property's default, the rest cut
// toward zero into 32 bits (the host would send nothing else).
double asInt32(const quarl::PropertyDescription& p, double v)
{
    return std::isnan(v) ? p.defaultValue : std::trunc(std::min(std::max(v, -2147483648.0), 2147483647.0));
}
} // namespace

Automation::Automation(const quarl::PluginDescription& description, std::uint64_t seed, Route route, Values values)
    : m_description(description), m_random(seed), m_route(route), m_values(values)
{
    for (const auto& p : description.properties)
    {
        m_raw.push_back(p.defaultValue);
        m_effective.push_back(p.defaultValue);
    }
}

double Automation::bringIntoRange(const quarl::PropertyDescription& property, double raw)
{
    if (property.type == quarl::PropertyType::Bool)
        return raw != 0.0 ? 1.0 : 0.0;
    // The effect holds single-precision values.
    double v = static_cast<float>(raw);
    if (std::isnan(v))
        return property.defaultValue;
    if (property.steps() > 0)
        v = std::trunc(v);
    return std::min(std::max(v, property.minValue), property.maxValue);
}

double Automation::pickValue(const quarl::PropertyDescription& p)
{
    const double span = p.maxValue - p.minValue;
    const int choices = m_values == Values::AnyValue ? 8 : 4;
    switch (std::uniform_int_distribution<int>(0, choices - 1)(m_random))
    {
    case 0: return p.minValue;
    case 1: return p.maxValue;
    case 4: return p.minValue - span * std::uniform_real_distribution<double>(0.001, 10.0)(m_random);
    case 5: return p.maxValue + span * std::uniform_real_distribution<double>(0.001, 10.0)(m_random);
    case 6: {
        const double extremes[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(), 1e30, -1e30, -0.0};
        return extremes[std::uniform_int_distribution<int>(0, 5)(m_random)];
    }
    default: {
        const double v = std::uniform_real_distribution<double>(p.minValue, p.maxValue)(m_random);
        return p.steps() > 0 ? std::floor(v + 0.5) : v;
    }
    }
}

bool Automation::step(IEffectParams& params)
{
    if (m_values == Values::Garbage)
        return sendGarbageBlock(params);
    if (m_values == Values::AnyValue && m_route == Route::SingleUpdates &&
        std::uniform_int_distribution<int>(0, 15)(m_random) == 0)
    {
        // An identifier the effect does not have: refused with 31, nothing stored.
        const PluginParamId unknown[] = {-1, 5, 9, 23, 49, 77, 1000, std::numeric_limits<std::int32_t>::min()};
        const PluginParamId id = unknown[std::uniform_int_distribution<int>(0, 7)(m_random)];
        const float value = 1.f;
        m_lastChange = "identifier " + std::to_string(id);
        return params.SetParam(id, &value, sizeof value) == InvalidParameter;
    }
    const auto index =
        std::uniform_int_distribution<std::size_t>(0, m_description.properties.size() - 1)(m_random);
    return send(params, index, pickValue(m_description.properties[index]));
}

bool Automation::sendGarbageBlock(IEffectParams& params)
{
    std::vector<std::uint8_t> bytes = block();
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(m_random());
    // Read it back as the effect should: switches on when non-zero, values into range.
    std::size_t offset = 0;
    for (std::size_t i = 0; i < m_description.properties.size(); ++i)
    {
        const quarl::PropertyDescription& p = m_description.properties[i];
        // Now and then a NaN or an infinity where a float goes.
        if (p.type == quarl::PropertyType::Float && std::uniform_int_distribution<int>(0, 7)(m_random) == 0)
        {
            const std::uint32_t specials[] = {0x7fc00000u, 0x7f800000u, 0xff800000u, 0x00000001u};
            const std::uint32_t bits = specials[std::uniform_int_distribution<int>(0, 3)(m_random)];
            for (int b = 0; b < 4; ++b)
                bytes[offset + b] = static_cast<std::uint8_t>(bits >> (8 * b));
        }
        decodeValue(p.type, bytes.data() + offset, valueSizeOf(p.type), m_raw[i]);
        offset += valueSizeOf(p.type);
    }
    for (std::size_t i = 0; i < m_raw.size(); ++i)
        m_effective[i] = bringIntoRange(m_description.properties[i], m_raw[i]);
    m_lastChange = "a block of random bytes";
    return params.SetParamsBlock(bytes.data(), static_cast<std::uint32_t>(bytes.size())) == Success;
}

bool Automation::randomiseAll(IEffectParams& params)
{
    bool ok = true;
    for (std::size_t i = 0; i < m_description.properties.size(); ++i)
        ok = send(params, i, pickValue(m_description.properties[i])) && ok;
    return ok;
}

bool Automation::set(IEffectParams& params, const std::string& name, double value)
{
    const int index = m_description.indexOf(name);
    return index >= 0 && send(params, static_cast<std::size_t>(index), value);
}

bool Automation::send(IEffectParams& params, std::size_t index, double raw)
{
    const quarl::PropertyDescription& p = m_description.properties[index];
    m_lastChange = p.name + "=" + std::to_string(raw);
    if (p.type == quarl::PropertyType::Bool)
        raw = raw != 0.0 && !std::isnan(raw) ? 1.0 : 0.0;
    else if (p.update == quarl::PropertyType::Int)
        raw = asInt32(p, raw); // an integer cannot carry NaN or more than 32 bits
    m_raw[index] = raw;
    m_effective[index] = bringIntoRange(p, raw);

    if (m_route == Route::WholeBlocks)
    {
        const std::vector<std::uint8_t> bytes = block();
        return params.SetParamsBlock(bytes.data(), static_cast<std::uint32_t>(bytes.size())) == Success;
    }
    std::uint8_t bytes[kMaxValueBytes];
    const std::size_t size = encodeValue(p.update, raw, bytes);
    return params.SetParam(p.id, bytes, static_cast<std::uint32_t>(size)) == Success;
}

std::vector<std::uint8_t> Automation::block() const
{
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < m_description.properties.size(); ++i)
    {
        const quarl::PropertyDescription& p = m_description.properties[i];
        if (p.type == quarl::PropertyType::Bool)
            appendValue(out, p.type, m_raw[i] != 0.0 ? 1.0 : 0.0);
        else
            appendValue(out, p.type, p.type == quarl::PropertyType::Int ? asInt32(p, m_raw[i]) : m_raw[i]);
    }
    return out;
}

double Automation::effective(const std::string& name) const
{
    const int index = m_description.indexOf(name);
    return index >= 0 ? m_effective[static_cast<std::size_t>(index)] : std::numeric_limits<double>::quiet_NaN();
}
