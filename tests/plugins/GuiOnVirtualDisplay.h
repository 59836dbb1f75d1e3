// The framework's GUI side on an X server of the test's own, for the length of a test suite
// (each test program compiles this against the JUCE it links).
#pragma once

#include "tests/support/VirtualDisplay.h"

#include <juce_events/juce_events.h>

struct GuiOnVirtualDisplay
{
    VirtualDisplay display; // first: DISPLAY is set before the framework starts
    juce::ScopedJuceInitialiser_GUI framework;
};
