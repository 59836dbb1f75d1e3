// The DAW plugin's processor on the audio thread, in process: buffers with the DAW's
// parameter changes between them, mono and stereo, take no memory.
#include "plugins/juce/CrumletDawProcessor.h"
#include "tests/support/AllocationCount.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <new>
#include <vector>

namespace
{
using crumlet_test::threadAllocations;

// A new normalised value for every parameter, another each round: floats anywhere in their
// range (most a rounding away from a round value), every list entry and both switch states
// in turn, so that stages switch off and on again.
void moveEveryParameter(CrumletDawProcessor& processor, int round)
{
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        juce::RangedAudioParameter& p = processor.parameter(i);
        const int steps = p.getNumSteps();
        const float phase = std::fmod(0.37f * static_cast<float>(round) + 0.11f * static_cast<float>(i), 1.f);
        const float normalised = steps > 1 && steps < 1000
                                     ? std::round(phase * static_cast<float>(steps - 1)) / static_cast<float>(steps - 1)
                                     : phase;
        p.setValueNotifyingHost(normalised);
    }
}

// Allocations on this thread over `processBlock`s, after one that sends the whole block.
std::uint64_t allocationsOverBlocksWithChanges(int channels)
{
    CrumletDawProcessor processor;
    processor.setPlayConfigDetails(channels, channels, 48000.0, 512);
    processor.prepareToPlay(48000.0, 512);
    juce::AudioBuffer<float> buffer(channels, 512);
    juce::MidiBuffer midi;
    auto fill = [&](int round) {
        for (int c = 0; c < channels; ++c)
            for (int f = 0; f < 512; ++f)
                buffer.setSample(c, f, 0.4f * std::sin(0.031f * static_cast<float>(f + 512 * round + 7 * c)));
    };
    fill(0);
    processor.processBlock(buffer, midi);
    std::uint64_t allocations = 0;
    for (int round = 1; round <= 40; ++round)
    {
        // Some buffers with no change, some with every parameter moved, in buffers of
        // varying length.
        if (round % 4 != 0)
            moveEveryParameter(processor, round);
        fill(round);
        buffer.setSize(channels, 512 - 37 * (round % 5), false, false, true);
        const std::uint64_t before = threadAllocations();
        processor.processBlock(buffer, midi);
        allocations += threadAllocations() - before;
        buffer.setSize(channels, 512, false, false, true);
    }
    EXPECT_EQ(processor.meterRecords().latestChannels(), channels) << "the engine ran and posted its records";
    processor.releaseResources();
    return allocations;
}
} // namespace

TEST(DawProcessor, AValueSetThroughItsNormalisedFormReadsAsSet)
{
    // A float comes back from the normalised form a rounding away; it reads (and is sent)
    // as the person set it.
    CrumletDawProcessor processor;
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const ParameterDefinition& d = g_parameterDefinitions[i];
        juce::RangedAudioParameter& p = processor.parameter(i);
        const float between = std::round((d.minValue + 0.37f * (d.maxValue - d.minValue)) * 10.f) / 10.f;
        const float inList = std::round(between);
        for (float v : {d.minValue, d.defaultValue, d.maxValue, d.hostType == HostType::Float ? between : inList})
        {
            p.setValueNotifyingHost(p.convertTo0to1(v));
            EXPECT_EQ(processor.value(i), v) << toAscii(d.name);
        }
    }
}

TEST(DawProcessor, TheCountSeesEveryFormOfOperatorNew)
{
    const std::uint64_t before = threadAllocations();
    auto plain = std::make_unique<std::vector<float>>(16);
    void* aligned = ::operator new(256, std::align_val_t{64}, std::nothrow); // as the engine's state takes it
    ::operator delete(aligned, std::align_val_t{64});
    EXPECT_EQ(threadAllocations() - before, 3u);
}

TEST(DawProcessor, BuffersWithParameterChangesBetweenThemTakeNoMemory)
{
    for (int channels : {1, 2})
        EXPECT_EQ(allocationsOverBlocksWithChanges(channels), 0u) << channels << " channel(s)";
}
