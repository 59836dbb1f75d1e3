// What the VST3 host tests do as a host: load the one plugin a bundle holds, and run the
// message loop that the plugin's editor, timers and latency changes ride on.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace juce
{
// The framework's own dispatch step on Linux (juce_linux_Messaging.cpp).
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

// The bundle folder's plugin at `rate` with buffers of up to 512 frames; null (and a failed
// expectation) when it cannot be loaded.
inline std::unique_ptr<juce::AudioPluginInstance> loadVst3Bundle(const std::string& bundle, double rate = 48000.0)
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    // The bundle folder, named as such: a path ending in ".." would not read as a VST3.
    format.findAllTypesForFile(types, std::filesystem::canonical(bundle).string());
    EXPECT_EQ(types.size(), 1);
    if (types.isEmpty())
        return nullptr;
    juce::String error;
    auto instance = format.createInstanceFromDescription(*types[0], rate, 512, error);
    EXPECT_TRUE(instance != nullptr) << error;
    return instance;
}

// Runs the message loop until `done` or for `milliseconds`, whichever comes first.
inline void dispatchMessagesUntil(const std::function<bool()>& done, int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + static_cast<juce::uint32>(milliseconds);
    while (!done() && juce::Time::getMillisecondCounter() < end)
        if (!juce::dispatchNextMessageOnSystemQueue(true))
            juce::Thread::sleep(1);
}

inline void dispatchMessagesFor(int milliseconds)
{
    dispatchMessagesUntil([] { return false; }, milliseconds);
}
