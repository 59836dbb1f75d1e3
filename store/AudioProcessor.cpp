#include "store/AudioProcessor.h"

#include "params/ParameterTable.h"
#include "platform/ModuleState.h"

#include <cmath>

namespace
{
const ParameterInfo& row(ParameterId id)
{
    return g_parameterTable[static_cast<std::size_t>(id)];
}

// Clears a VARIANT when it goes out of scope.
struct ScopedVariant
{
    VARIANT value{};
    ScopedVariant() { VariantInit(&value); }
    ~ScopedVariant() { VariantClear(&value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
};
} // namespace

AudioProcessor::~AudioProcessor() = default;

void AudioProcessor::AttachPropertySet(ZQ::Quarl::IPropertySet* propertySet) noexcept
{
    m_propertySet = propertySet;
}

HINSTANCE AudioProcessor::GetResourceModule() noexcept
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxGetResourceHandle();
}

bool AudioProcessor::inTable(ParameterId id)
{
    return id >= 0 && static_cast<std::size_t>(id) < g_parameterTable.size();
}

bool AudioProcessor::readProperty(ParameterId id, VARIANT& value)
{
    VariantInit(&value);
    if (m_propertySet == nullptr || !inTable(id))
        return false;
    GUID platform{};
    m_propertySet->GetCurrentPlatform(platform);
    return m_propertySet->GetValue(platform, row(id).name, value);
}

void AudioProcessor::writeProperty(ParameterId id, const VARIANT& value)
{
    GUID platform{};
    m_propertySet->GetCurrentPlatform(platform);
    m_propertySet->SetValue(platform, row(id).name, value);
}

float AudioProcessor::getParameterValue(ParameterId id)
{
    ScopedVariant v;
    if (!readProperty(id, v.value))
        return 0.f;
    switch (v.value.vt)
    {
    case VT_R4: return v.value.fltVal;
    case VT_I4: return static_cast<float>(v.value.lVal);
    case VT_BOOL: return static_cast<float>(v.value.boolVal);
    default: return 0.f;
    }
}

int AudioProcessor::getParameterListIndex(ParameterId id)
{
    ScopedVariant v;
    if (!readProperty(id, v.value) || v.value.vt != VT_I4)
        return 0;
    return v.value.lVal - static_cast<int>(row(id).minValue);
}

int AudioProcessor::getParameterInt(ParameterId id)
{
    ScopedVariant v;
    if (!readProperty(id, v.value) || v.value.vt != VT_I4)
        return 0;
    return v.value.lVal;
}

bool AudioProcessor::getParameterBool(ParameterId id)
{
    ScopedVariant v;
    return readProperty(id, v.value) && v.value.vt == VT_BOOL && v.value.boolVal != 0;
}

juce::String AudioProcessor::getParameterText(ParameterId id)
{
    if (id < 0 || id >= getNumParameters())
        return {};
    if (isParameterRTPC(id))
        return "RTPC";
    return juce::String(getParameterValue(id), 2);
}

int AudioProcessor::getParameterSteps(ParameterId id)
{
    return id >= 0 && id < getNumParameters() && inTable(id) ? row(id).steps : 0;
}

float AudioProcessor::getParameterDefault(ParameterId id)
{
    return id >= 0 && id < getNumParameters() && inTable(id) ? row(id).defaultValue : 0.f;
}

float AudioProcessor::getParameterMin(ParameterId id)
{
    return id >= 0 && id < getNumParameters() && inTable(id) ? row(id).minValue : 0.f;
}

float AudioProcessor::getParameterMax(ParameterId id)
{
    return id >= 0 && id < getNumParameters() && inTable(id) ? row(id).maxValue : 0.f;
}

float AudioProcessor::getParameterAux(ParameterId id)
{
    return id >= 0 && id < getNumParameters() && inTable(id) ? row(id).aux1 : 0.f;
}

void AudioProcessor::setParameterVariant(ParameterId id, const VARIANT& value)
{
    if (!inTable(id) || isParameterRTPC(id) || m_propertySet == nullptr)
        return;
    ScopedVariant copy;
    copy.value = value;
    writeProperty(id, copy.value);
}

void AudioProcessor::setParameterValue(ParameterId id, float value)
{
    if (!inTable(id) || isParameterRTPC(id) || m_propertySet == nullptr)
        return;
    ScopedVariant v;
    if (row(id).steps > 0)
    {
        // Truncated toward zero; a value no 32-bit integer can hold is not written.
        if (!(std::fabs(value) < 2147483648.f))
            return;
        v.value.vt = VT_I4;
        v.value.lVal = static_cast<std::int32_t>(value);
    }
    else
    {
        v.value.vt = VT_R4;
        v.value.fltVal = value;
    }
    writeProperty(id, v.value);
}

float AudioProcessor::getParameterDisplayValue(ParameterId id)
{
    return getParameterValue(id);
}

bool AudioProcessor::isParameterRTPC(ParameterId id)
{
    if (m_propertySet == nullptr || !inTable(id))
        return false;
    return m_propertySet->IsRTPC(row(id).name);
}

void AudioProcessor::beginParameterGesture(ParameterId id)
{
    if (m_propertySet == nullptr || !inTable(id))
        return;
    if (ZQ::Quarl::IChangeGroup* group = m_propertySet->GetChangeGroup(id))
        group->OpenGroup(0);
}

void AudioProcessor::endParameterGesture(ParameterId id)
{
    if (m_propertySet == nullptr || !inTable(id))
        return;
    if (ZQ::Quarl::IChangeGroup* group = m_propertySet->GetChangeGroup(id))
        group->CloseGroup(row(id).name, 0);
}

void AudioProcessor::setParameterValueIfFree(ParameterId id, float value)
{
    if (!isParameterRTPC(id))
        setParameterValue(id, value);
}
