// The effect as a DAW plugin (VST3, and the standalone application): the forty parameters
// as automatable parameters in host order, the state as the 139-byte parameter block, and
// the engine run as the host runs it, through plugins::EngineSession; the product's editor,
// its meters fed by the engine's meter records.
#pragma once

#include "plugins/common/EngineSession.h"

#include "plugins/juce/MonoOrStereoEffectProcessor.h"

#include <array>
#include <atomic>
#include <memory>

class PluginEditor;

class CrumletDawProcessor final : public MonoOrStereoEffectProcessor, private plugins::MeterRecordListener
{
public:
    CrumletDawProcessor();

    // What the state holds: a tag, a version and the parameter block.
    static constexpr char kStateTag[4] = {'C', 'R', 'M', 'L'};
    static constexpr std::uint32_t kStateVersion = 1;

    const juce::String getName() const override { return "Crumlet"; }
    double getTailLengthSeconds() const override;

    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;

    juce::AudioProcessorEditor* createEditor() override;

    void getStateInformation(juce::MemoryBlock& destination) override;
    void setStateInformation(const void* data, int sizeInBytes) override;

    // Every parameter's value in its own units (a switch 0 or 1, a list its index), host order.
    std::array<float, kParameterCount> values() const;
    float value(std::size_t hostIndex) const;
    juce::RangedAudioParameter& parameter(std::size_t hostIndex) const { return *m_parameters[hostIndex]; }

    // The editor that receives the meter records (null: none). Clearing it waits until no
    // record is being handed over, so the editor may go right after.
    void setMeteredEditor(PluginEditor* editor);

    const plugins::MeterReading& meters() const;

private:
    void sendParameters();
    // Audio thread: hands the record to the open editor's lock-free queue.
    void meterRecordPosted(const void* record, std::uint32_t bytes) override;

    std::array<juce::RangedAudioParameter*, kParameterCount> m_parameters{};
    std::unique_ptr<plugins::EngineSession> m_session;
    std::array<float, kParameterCount> m_sent{};
    bool m_blockSent = false;
    double m_sampleRate = 48000.0;
    plugins::MeterReading m_noMeters;
    std::atomic<PluginEditor*> m_meteredEditor{nullptr};
    std::atomic<int> m_deliveries{0};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(CrumletDawProcessor)
};
