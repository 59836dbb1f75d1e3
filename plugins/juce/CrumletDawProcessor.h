// The effect as a DAW plugin (VST3, and the standalone application): the forty parameters
// as automatable parameters in host order, the state as the 139-byte parameter block, and
// the engine run as the host runs it, through plugins::EngineSession; the product's editor,
// its meters fed by the engine's meter records.
//
// The audio thread reads each parameter's value from the parameter itself (an atomic load
// through the typed pointer kept when it was made) and sends the engine only what changed;
// it neither formats, parses, casts nor allocates. The meter records it posts are folded
// into a MeterRecordFold, which the open editor takes on its own timer.
#pragma once

#include "editor/MeterRecordFold.h"
#include "plugins/common/EngineSession.h"

#include "plugins/juce/MonoOrStereoEffectProcessor.h"

#include <array>
#include <memory>

class CrumletDawProcessor final : public MonoOrStereoEffectProcessor, private plugins::MeterRecordListener
{
public:
    CrumletDawProcessor();

    // What the state holds: a tag, a version and the parameter block.
    static constexpr char kStateTag[4] = {'C', 'R', 'M', 'L'};
    static constexpr std::uint32_t kStateVersion = 1;

    double getTailLengthSeconds() const override;

    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;

    juce::AudioProcessorEditor* createEditor() override;

    void getStateInformation(juce::MemoryBlock& destination) override;
    void setStateInformation(const void* data, int sizeInBytes) override;

    // Every parameter's value in its own units (a switch 0 or 1, a list its index, a float
    // to six significant digits), host order.
    std::array<float, kParameterCount> values() const;
    float value(std::size_t hostIndex) const;
    juce::RangedAudioParameter& parameter(std::size_t hostIndex) const { return *m_parameters[hostIndex]; }

    // The engine's meter records, folded as they are posted, for the editor to take.
    MeterRecordFold& meterRecords() { return m_meterRecords; }

private:
    // A parameter as it was made: one of the three typed pointers is set.
    struct TypedParameter
    {
        juce::AudioParameterBool* asSwitch = nullptr;
        juce::AudioParameterChoice* asList = nullptr;
        juce::AudioParameterFloat* asFloat = nullptr;
    };

    static std::unique_ptr<juce::RangedAudioParameter> makeParameter(const ParameterDefinition& d,
                                                                     TypedParameter& typed);
    // A parameter's value as it is held: 0 or 1, a list index, or the float as set.
    float heldValue(std::size_t hostIndex) const;
    // A held value in its own units (a float to six significant digits).
    float unitsOf(std::size_t hostIndex, float held) const;
    void sendParameters();
    // Audio thread: folds the record in for the editor.
    void meterRecordPosted(const void* record, std::uint32_t bytes) override;

    std::array<juce::RangedAudioParameter*, kParameterCount> m_parameters{};
    std::array<TypedParameter, kParameterCount> m_typed{};
    std::unique_ptr<plugins::EngineSession> m_session;
    // Audio thread: each value as held when last looked at, and as last sent, in its units.
    std::array<float, kParameterCount> m_held{};
    std::array<float, kParameterCount> m_sent{};
    bool m_blockSent = false;
    double m_sampleRate = 48000.0;
    MeterRecordFold m_meterRecords;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(CrumletDawProcessor)
};
