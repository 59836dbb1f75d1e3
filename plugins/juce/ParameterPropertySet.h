// The property set the editor's store talks to inside a DAW: its values are the plugin's
// automatable parameters, so the DAW's parameters stay the one source of truth.
//
// A read is the parameter's value in its own units, as a VARIANT of the property's type. A
// write goes to the DAW (setValueNotifyingHost): inside the gesture a change group opened
// for a drag, or as a gesture of its own for a click or a typed value. The set listens to
// the parameters, on whatever thread the DAW changes them, and only raises a flag there;
// the editor's side polls it on the message thread.
#pragma once

#include "ZQ/QuarlPlugin.h"
#include "params/ParameterTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>

class CrumletDawProcessor;

class ParameterPropertySet final : public ZQ::Quarl::IPropertySet, private juce::AudioProcessorParameter::Listener
{
public:
    explicit ParameterPropertySet(CrumletDawProcessor& processor);
    ~ParameterPropertySet();
    ParameterPropertySet(const ParameterPropertySet&) = delete;
    ParameterPropertySet& operator=(const ParameterPropertySet&) = delete;

    bool GetValue(const GUID& platform, LPCWSTR name, VARIANT& value) override;
    // Bools, whole numbers and floats, brought into the parameter's range; false for an
    // unknown name or any other type.
    bool SetValue(const GUID& platform, LPCWSTR name, const VARIANT& value) override;
    bool IsRTPC(LPCWSTR) override { return false; }
    void GetCurrentPlatform(GUID& platform) override { platform = GUID{}; }
    // One group per parameter: opening it begins the parameter's change gesture, closing ends it.
    ZQ::Quarl::IChangeGroup* GetChangeGroup(std::int32_t paramId) override;
    void QueryHost(std::uint32_t, std::uint32_t& first, std::uint32_t& second, std::uint32_t& third) override
    {
        first = second = third = 0;
    }

    // Whether any parameter changed since the last call (true at first).
    bool takeChanged() { return m_changed.exchange(false); }

private:
    class ChangeGroup final : public ZQ::Quarl::IChangeGroup
    {
    public:
        void OpenGroup(std::int32_t flags) override;
        void CloseGroup(LPCWSTR label, std::int32_t flags) override;
        juce::AudioProcessorParameter* parameter = nullptr;
        bool open = false;
    };

    void parameterValueChanged(int, float) override { m_changed.store(true); }
    void parameterGestureChanged(int, bool) override {}

    CrumletDawProcessor& m_processor;
    std::array<ChangeGroup, kParameterCount> m_groups;
    std::atomic<bool> m_changed{true};
};
