// The DAW plugin's processor (VST3 and standalone), in process: its parameters set as a DAW
// sets them, blocks played through processBlock, a parameter moved after the first block.
// Every parameter moved so must end where an instance that had the value from its start ends.
#include "plugins/juce/CrumletDawProcessor.h"
#include "tests/support/LateChanges.h"

#include <gtest/gtest.h>

namespace
{
class DawEffect final : public crumlet_test::EffectUnderTest
{
public:
    explicit DawEffect(const crumlet_test::Settings& settings)
    {
        juce::AudioProcessor::BusesLayout mono;
        mono.inputBuses.add(juce::AudioChannelSet::mono());
        mono.outputBuses.add(juce::AudioChannelSet::mono());
        EXPECT_TRUE(m_processor.setBusesLayout(mono));
        for (const auto& [name, value] : settings)
            set(name, value);
        const auto& plan = crumlet_test::lateChangePlan();
        m_processor.prepareToPlay(plan.sampleRate, static_cast<int>(plan.bufferFrames));
    }

    void play(float* mono, std::uint32_t frames) override
    {
        juce::AudioBuffer<float> buffer(&mono, 1, static_cast<int>(frames));
        m_processor.processBlock(buffer, m_midi);
    }

    // As a DAW's automation moves it: the normalised value, through the parameter.
    void set(const std::string& property, float value) override
    {
        const ParameterDefinition* d = findParameterByName(property);
        ASSERT_NE(d, nullptr) << property;
        auto& p = m_processor.parameter(static_cast<std::size_t>(d - g_parameterDefinitions.data()));
        p.setValueNotifyingHost(p.convertTo0to1(value));
    }

private:
    CrumletDawProcessor m_processor;
    juce::MidiBuffer m_midi;
};
} // namespace

TEST(DawLateChanges, EveryParameterMovedAfterTheFirstBlockIsHeard)
{
    const auto missed = crumlet_test::missedLateChanges(crumlet_test::makerOf<DawEffect>());
    EXPECT_TRUE(missed.empty()) << crumlet_test::listed(missed);
}
