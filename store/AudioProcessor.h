// The parameter store: a typed view, by parameter identifier, of the host's property set.
// It keeps no values of its own; every read and write goes to the host as a VARIANT, so
// the property set stays the one source of truth. Base of the authoring plugin object.
#pragma once

#include "ZQ/QuarlPlugin.h"
#include "params/ParameterId.h"
#include "platform/WinTypes.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <string>
#include <vector>

class AudioProcessor : public ZQ::Quarl::DefaultAudioPluginImplementation
{
public:
    AudioProcessor() = default;
    AudioProcessor(const AudioProcessor&) = delete;
    AudioProcessor& operator=(const AudioProcessor&) = delete;

    // Host operations the store answers for every plugin object.
    void AttachPropertySet(ZQ::Quarl::IPropertySet* propertySet) noexcept override;
    HINSTANCE GetResourceModule() noexcept override;

    // The store's own operations, after the host's, in this order.
    virtual ~AudioProcessor();
    virtual int getNumParameters() = 0;
    // VT_R4 as is, VT_I4 and VT_BOOL converted (a set switch reads -1.0); 0.0 otherwise.
    virtual float getParameterValue(ParameterId id);
    // A VT_I4 value less the row's minimum; 0 otherwise.
    virtual int getParameterListIndex(ParameterId id);
    // A VT_I4 value; 0 otherwise.
    virtual int getParameterInt(ParameterId id);
    // True only for a non-zero VT_BOOL value.
    virtual bool getParameterBool(ParameterId id);
    // "RTPC" for a game-driven property, else the value with two decimals; empty outside the table.
    virtual juce::String getParameterText(ParameterId id);
    // The table's row for ids 0 .. getNumParameters() − 1; 0 outside.
    virtual int getParameterSteps(ParameterId id);
    virtual float getParameterDefault(ParameterId id);
    virtual float getParameterMin(ParameterId id);
    virtual float getParameterMax(ParameterId id);
    virtual float getParameterAux(ParameterId id);
    // Names of the values of a list parameter; empty for others.
    virtual std::vector<std::string> getParameterValueList(ParameterId id) = 0;
    // Writes a copy of `value`, unless the property is game-driven or there is no property set.
    virtual void setParameterVariant(ParameterId id, const VARIANT& value);
    // Writes a VT_I4 (truncated toward zero) for a whole-value parameter, else a VT_R4;
    // same guard as setParameterVariant.
    virtual void setParameterValue(ParameterId id, float value);
    // The value the response plots take; the store's is getParameterValue.
    virtual float getParameterDisplayValue(ParameterId id);
    virtual int getReservedInt1() { return m_reservedInt1; }
    virtual int getReservedInt2() { return m_reservedInt2; }
    // Whether the host drives the property from a game parameter; false without a property set.
    virtual bool isParameterRTPC(ParameterId id);

    // A drag of a control is one host change group: opened here...
    void beginParameterGesture(ParameterId id);
    // ...and closed here, labelled with the property name.
    void endParameterGesture(ParameterId id);
    void setParameterValueIfFree(ParameterId id, float value);

    HWND getHostWindow() const { return m_hostWindow; }

protected:
    // Reads the property of `id` for the host's current platform into `value` (initialised
    // here); false when nothing was read.
    bool readProperty(ParameterId id, VARIANT& value);
    void writeProperty(ParameterId id, const VARIANT& value);
    static bool inTable(ParameterId id);

    ZQ::Quarl::IPropertySet* m_propertySet = nullptr;
    HWND m_hostWindow = nullptr;

private:
    std::int32_t m_reservedInt1 = 1;
    std::int32_t m_reservedInt2 = 1;
};
