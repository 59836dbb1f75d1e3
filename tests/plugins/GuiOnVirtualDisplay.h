// The framework's GUI side on an X server of the test's own, for the length of a test suite
// (each test program compiles this against the JUCE it links).
#pragma once

#include "tests/support/VirtualDisplay.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <memory>

struct GuiOnVirtualDisplay
{
    VirtualDisplay display; // first: DISPLAY is set before the framework starts
    juce::ScopedJuceInitialiser_GUI framework;
};

// A test suite that runs with the framework on its own X server, started once for the suite.
class GuiSuite : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_gui = std::make_unique<GuiOnVirtualDisplay>(); }
    static void TearDownTestSuite() { s_gui.reset(); }

    static inline std::unique_ptr<GuiOnVirtualDisplay> s_gui;
};
