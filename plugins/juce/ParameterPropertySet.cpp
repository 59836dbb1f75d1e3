#include "plugins/juce/ParameterPropertySet.h"

#include "plugins/juce/CrumletDawProcessor.h"

#include <cmath>

namespace
{
// Host-order index of a property name, or -1.
int indexOf(LPCWSTR name)
{
    if (name == nullptr)
        return -1;
    for (std::size_t i = 0; i < kParameterCount; ++i)
        if (wideEquals(g_parameterDefinitions[i].name, name))
            return static_cast<int>(i);
    return -1;
}

bool numberOf(const VARIANT& value, float& number)
{
    switch (value.vt)
    {
    case VT_R4: number = value.fltVal; return std::isfinite(number);
    case VT_I4: number = static_cast<float>(value.lVal); return true;
    case VT_BOOL: number = value.boolVal != 0 ? 1.f : 0.f; return true;
    default: return false;
    }
}
} // namespace

ParameterPropertySet::ParameterPropertySet(CrumletDawProcessor& processor) : m_processor(processor)
{
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        m_groups[i].parameter = &processor.parameter(i);
        processor.parameter(i).addListener(this);
    }
}

ParameterPropertySet::~ParameterPropertySet()
{
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        m_groups[i].CloseGroup(nullptr, 0);
        m_processor.parameter(i).removeListener(this);
    }
}

bool ParameterPropertySet::GetValue(const GUID&, LPCWSTR name, VARIANT& value)
{
    const int i = indexOf(name);
    if (i < 0)
        return false;
    const float v = m_processor.value(static_cast<std::size_t>(i));
    VariantInit(&value);
    switch (g_parameterDefinitions[static_cast<std::size_t>(i)].hostType)
    {
    case HostType::Bool:
        value.vt = VT_BOOL;
        value.boolVal = v >= 0.5f ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case HostType::Int:
        value.vt = VT_I4;
        value.lVal = static_cast<std::int32_t>(std::lround(v));
        break;
    case HostType::Float:
        value.vt = VT_R4;
        value.fltVal = v;
        break;
    }
    return true;
}

bool ParameterPropertySet::SetValue(const GUID&, LPCWSTR name, const VARIANT& value)
{
    const int i = indexOf(name);
    float v = 0.f;
    if (i < 0 || !numberOf(value, v))
        return false;
    const auto index = static_cast<std::size_t>(i);
    const ParameterDefinition& d = g_parameterDefinitions[index];
    if (d.hostType == HostType::Bool)
        v = v != 0.f ? 1.f : 0.f;
    else if (d.hostType == HostType::Int)
        v = std::nearbyint(v);
    v = juce::jlimit(d.minValue, d.maxValue, v);
    if (v == m_processor.value(index))
        return true;
    juce::RangedAudioParameter& p = m_processor.parameter(index);
    // A write outside a drag (a click, a typed value) is a gesture of its own for the DAW.
    const bool alone = !m_groups[index].open;
    if (alone)
        p.beginChangeGesture();
    p.setValueNotifyingHost(p.convertTo0to1(v));
    if (alone)
        p.endChangeGesture();
    return true;
}

ZQ::Quarl::IChangeGroup* ParameterPropertySet::GetChangeGroup(std::int32_t paramId)
{
    const ParameterDefinition* d = findParameter(paramId);
    return d != nullptr ? &m_groups[static_cast<std::size_t>(d - g_parameterDefinitions.data())] : nullptr;
}

void ParameterPropertySet::ChangeGroup::OpenGroup(std::int32_t)
{
    if (open)
        return;
    parameter->beginChangeGesture();
    open = true;
}

void ParameterPropertySet::ChangeGroup::CloseGroup(LPCWSTR, std::int32_t)
{
    if (!open)
        return;
    parameter->endChangeGesture();
    open = false;
}
