// What the DAW plugins here share of JUCE's processor: a named effect on a mono or a stereo
// bus (the same on input and output), an editor (JUCE's generic one unless the plugin has
// its own), no MIDI, and one program, whose state is the plugin's.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <utility>

class MonoOrStereoEffectProcessor : public juce::AudioProcessor
{
public:
    // Stereo in and out until the host asks for mono.
    explicit MonoOrStereoEffectProcessor(juce::String name)
        : juce::AudioProcessor(BusesProperties()
                                   .withInput("Input", juce::AudioChannelSet::stereo(), true)
                                   .withOutput("Output", juce::AudioChannelSet::stereo(), true)),
          m_name(std::move(name))
    {
    }

    const juce::String getName() const final { return m_name; }

    bool isBusesLayoutSupported(const BusesLayout& layouts) const override
    {
        const auto& out = layouts.getMainOutputChannelSet();
        return (out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo()) &&
               layouts.getMainInputChannelSet() == out;
    }

    bool hasEditor() const override { return true; }
    // A slider, switch or menu per parameter.
    juce::AudioProcessorEditor* createEditor() override { return new juce::GenericAudioProcessorEditor(*this); }

    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram(int) override {}
    const juce::String getProgramName(int) override { return {}; }
    void changeProgramName(int, const juce::String&) override {}

private:
    const juce::String m_name;
};
