#include "quarl/PropertySet.h"

#include "platform/DynamicLibrary.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace quarl
{
namespace
{
float toFloat(double v)
{
    return static_cast<float>(v);
}

VARIANT defaultOf(const PropertyDescription& p)
{
    switch (p.type)
    {
    case PropertyType::Bool: return makeBool(p.defaultValue != 0.0);
    case PropertyType::Int: return makeInt(static_cast<std::int32_t>(p.defaultValue));
    case PropertyType::Float: return makeFloat(toFloat(p.defaultValue));
    }
    return makeFloat(0.f);
}

// The numeric value of a VARIANT as OLE Automation converts it (true is −1); false for
// other types.
bool numericValue(const VARIANT& v, double& out)
{
    switch (v.vt)
    {
    case VT_BOOL: out = v.boolVal != 0 ? -1.0 : 0.0; return true;
    case VT_I4: out = v.lVal; return true;
    case VT_R4: out = v.fltVal; return true;
    default: return false;
    }
}

std::string narrow(LPCWSTR text)
{
    return platform::toUtf8(text);
}
} // namespace

VARIANT makeBool(bool value)
{
    VARIANT v{};
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT makeInt(std::int32_t value)
{
    VARIANT v{};
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT makeFloat(float value)
{
    VARIANT v{};
    VariantInit(&v);
    v.vt = VT_R4;
    v.fltVal = value;
    return v;
}

PropertySet::PropertySet(PluginDescription description) : m_description(std::move(description))
{
    for (const PropertyDescription& p : m_description.properties)
        m_defaults.push_back(defaultOf(p));
}

PropertySet::PlatformKey PropertySet::keyOf(const GUID& platform)
{
    PlatformKey key{};
    std::memcpy(key.data(), &platform.Data1, 4);
    std::memcpy(key.data() + 4, &platform.Data2, 2);
    std::memcpy(key.data() + 6, &platform.Data3, 2);
    std::memcpy(key.data() + 8, platform.Data4, 8);
    return key;
}

const VARIANT& PropertySet::stored(const GUID& platform, std::size_t index) const
{
    const auto it = m_values.find(keyOf(platform));
    return it != m_values.end() ? it->second[index] : m_defaults[index];
}

bool PropertySet::convert(const PropertyDescription& p, const VARIANT& in, VARIANT& out) const
{
    double v = 0.0;
    if (!numericValue(in, v) || std::isnan(v))
        return false;
    switch (p.type)
    {
    case PropertyType::Bool: out = makeBool(v != 0.0); return true;
    case PropertyType::Int: {
        const double lo = p.minValue, hi = p.maxValue;
        const double rounded = std::nearbyint(std::fmin(std::fmax(v, lo), hi));
        out = makeInt(static_cast<std::int32_t>(rounded));
        return true;
    }
    case PropertyType::Float: {
        const float lo = toFloat(p.minValue), hi = toFloat(p.maxValue);
        const float f = static_cast<float>(std::fmin(std::fmax(v, static_cast<double>(lo)), static_cast<double>(hi)));
        out = makeFloat(f);
        return true;
    }
    }
    return false;
}

bool PropertySet::store(const GUID& platform, int index, const VARIANT& value)
{
    if (index < 0)
        return false;
    const PropertyDescription& p = m_description.properties[static_cast<std::size_t>(index)];
    VARIANT converted{};
    if (!convert(p, value, converted))
        return false;
    auto it = m_values.find(keyOf(platform));
    if (it == m_values.end())
        it = m_values.emplace(keyOf(platform), m_defaults).first;
    it->second[static_cast<std::size_t>(index)] = converted;
    ++m_writeCount;
    if (m_listener)
        m_listener(platform, p.wideName.c_str());
    return true;
}

bool PropertySet::GetValue(const GUID& platform, LPCWSTR name, VARIANT& value)
{
    const int index = m_description.indexOf(name);
    if (index < 0)
        return false;
    value = stored(platform, static_cast<std::size_t>(index));
    return true;
}

bool PropertySet::SetValue(const GUID& platform, LPCWSTR name, const VARIANT& value)
{
    return store(platform, m_description.indexOf(name), value);
}

bool PropertySet::IsRTPC(LPCWSTR name)
{
    return name != nullptr && m_rtpc.count(narrow(name)) != 0;
}

void PropertySet::GetCurrentPlatform(GUID& platform)
{
    platform = m_platform;
}

ZQ::Quarl::IChangeGroup* PropertySet::GetChangeGroup(std::int32_t paramId)
{
    if (!m_groupsAvailable)
        return nullptr;
    m_group.paramId = paramId;
    return &m_group;
}

void PropertySet::ChangeGroup::OpenGroup(std::int32_t flags)
{
    m_owner.m_groupEvents.push_back(ChangeGroupEvent{ChangeGroupEvent::Kind::Opened, paramId, {}, flags});
    ++m_owner.m_openGroups;
}

void PropertySet::ChangeGroup::CloseGroup(LPCWSTR label, std::int32_t flags)
{
    m_owner.m_groupEvents.push_back(ChangeGroupEvent{ChangeGroupEvent::Kind::Closed, paramId, narrow(label), flags});
    if (m_owner.m_openGroups > 0)
        --m_owner.m_openGroups;
}

void PropertySet::QueryHost(std::uint32_t value, std::uint32_t& first, std::uint32_t& second, std::uint32_t& third)
{
    m_queries.push_back(value);
    first = value;
    second = m_queryAnswer;
    third = 0;
}

bool PropertySet::get(const std::string& name, VARIANT& value) const
{
    const int index = m_description.indexOf(name);
    if (index < 0)
        return false;
    value = stored(m_platform, static_cast<std::size_t>(index));
    return true;
}

double PropertySet::value(const std::string& name) const
{
    VARIANT v{};
    if (!get(name, v))
        return std::numeric_limits<double>::quiet_NaN();
    switch (v.vt)
    {
    case VT_BOOL: return v.boolVal != 0 ? 1.0 : 0.0;
    case VT_I4: return v.lVal;
    case VT_R4: return v.fltVal;
    default: return std::numeric_limits<double>::quiet_NaN();
    }
}

bool PropertySet::set(const std::string& name, double value)
{
    const int index = m_description.indexOf(name);
    if (index < 0 || std::isnan(value))
        return false;
    // Through a float for float properties, so the stored value is what the host holds.
    switch (m_description.properties[static_cast<std::size_t>(index)].type)
    {
    case PropertyType::Bool: return store(m_platform, index, makeBool(value != 0.0));
    case PropertyType::Int: {
        const PropertyDescription& p = m_description.properties[static_cast<std::size_t>(index)];
        const double clamped = std::nearbyint(std::fmin(std::fmax(value, p.minValue), p.maxValue));
        return store(m_platform, index, makeInt(static_cast<std::int32_t>(clamped)));
    }
    case PropertyType::Float: {
        const double limit = std::numeric_limits<float>::max();
        return store(m_platform, index, makeFloat(static_cast<float>(std::fmin(std::fmax(value, -limit), limit))));
    }
    }
    return false;
}

bool PropertySet::setVariant(const std::string& name, const VARIANT& value)
{
    return store(m_platform, m_description.indexOf(name), value);
}

void PropertySet::resetToDefaults()
{
    m_values.clear();
}

void PropertySet::setRTPC(const std::string& name, bool driven)
{
    if (driven)
        m_rtpc.insert(name);
    else
        m_rtpc.erase(name);
}
} // namespace quarl
