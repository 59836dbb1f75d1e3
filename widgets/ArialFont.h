// The editor's text face, named "Arial" as on Windows. Where that face is not installed,
// fontconfig names the face that stands in for it (Liberation Sans, with the same metrics),
// so that text measures the same on every machine.
#pragma once

#include <juce_graphics/juce_graphics.h>

// The family the system draws for "Arial".
const juce::String& arialFamily();

// "Arial" (or its stand-in) at the given height, plain.
juce::Font arialFont(float height);
