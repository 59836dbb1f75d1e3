// Liberation Sans (the metric twin of the face the editor names), loaded from Debian's font
// files, so that the artwork and the review sheets draw the same text on every machine
// without asking a display or the font configuration.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace LiberationFonts
{
juce::Font sans(float height, bool bold = false);
juce::Font narrow(float height, bool bold = false); // Liberation Sans Narrow
} // namespace LiberationFonts
