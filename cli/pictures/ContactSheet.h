// The artwork's contact sheet: every embedded image with its name, size and colour type;
// filmstrips wrapped into rows of frames, the device strip as a grid of its frames with the
// device names. This is how a designer reviews the artwork.
#pragma once

#include <juce_graphics/juce_graphics.h>

juce::Image drawContactSheet();
