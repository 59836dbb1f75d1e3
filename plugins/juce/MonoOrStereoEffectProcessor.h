// What the DAW plugins here share of JUCE's processor: an effect on a mono or a stereo bus
// (the same on input and output), an editor, no MIDI, and one program, whose state is the
// plugin's.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class MonoOrStereoEffectProcessor : public juce::AudioProcessor
{
public:
    // Stereo in and out until the host asks for mono.
    MonoOrStereoEffectProcessor()
        : juce::AudioProcessor(BusesProperties()
                                   .withInput("Input", juce::AudioChannelSet::stereo(), true)
                                   .withOutput("Output", juce::AudioChannelSet::stereo(), true))
    {
    }

    bool isBusesLayoutSupported(const BusesLayout& layouts) const override
    {
        const auto& out = layouts.getMainOutputChannelSet();
        return (out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo()) &&
               layouts.getMainInputChannelSet() == out;
    }

    bool hasEditor() const override { return true; }

    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram(int) override {}
    const juce::String getProgramName(int) override { return {}; }
    void changeProgramName(int, const juce::String&) override {}
};
