// Crumlet Line as a DAW plugin (VST3): the transmission (codec, packet loss, radio) and the
// space after it on its input, mono or stereo, with their settings as parameters and the
// latency told to the host so that the DAW compensates it. The processing is
// plugins::LineSession; an offline render (the host's non-realtime mode) lets the space wait
// for its convolution's workers.
#pragma once

#include "plugins/common/LineSession.h"

#include "plugins/juce/MonoOrStereoEffectProcessor.h"

#include <array>
#include <memory>

class CrumletLineProcessor final : public MonoOrStereoEffectProcessor, private juce::AsyncUpdater
{
public:
    CrumletLineProcessor();
    ~CrumletLineProcessor() override;

    // The state: an XML record of this tag with each parameter's value in its own units.
    static constexpr const char* kStateTag = "CrumletLine";
    static constexpr int kStateVersion = 1;

    double getTailLengthSeconds() const override;

    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;

    void getStateInformation(juce::MemoryBlock& destination) override;
    void setStateInformation(const void* data, int sizeInBytes) override;

private:
    // A parameter's value in its own units (a switch 0 or 1, a list its index).
    float valueOf(std::size_t index) const;
    void sendValues();
    void resetOnTransportJump(int frames);
    // Message thread: tells the host the latency of the line made last.
    void handleAsyncUpdate() override;

    std::array<juce::RangedAudioParameter*, plugins::kLineParameterCount> m_parameters{};
    std::unique_ptr<plugins::LineSession> m_session;
    juce::int64 m_expectedTime = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(CrumletLineProcessor)
};
