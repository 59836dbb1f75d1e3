// The faceplate's one style: colours, fonts, the light from the top left, and the drawing
// helpers every image of the artwork shares.
#pragma once

#include "editor/artwork/LiberationFonts.h"

#include <juce_graphics/juce_graphics.h>

namespace Style
{
// Colours.
const juce::Colour kPlate{0xff25262a};      // the faceplate's graphite
const juce::Colour kPanel{0xff1c1d20};      // recessed section panels
const juce::Colour kTitle{0xffc8c8c8};      // section titles
const juce::Colour kLegend{0xff9a9a9a};     // control legends
const juce::Colour kAccent{0xffffb23f};     // lit things: lamps, buttons, the device frame
const juce::Colour kMeterGreen{0xff3bd16f};
const juce::Colour kMeterRed{0xffff4b3e};
const juce::Colour kLcd{0xffd9c79a};        // lit value windows (dark text)

// The light comes from the top left: highlights on upper-left edges, shadows fall lower right.
constexpr float kShadowOffset = 1.5f;

using LiberationFonts::narrow;
using LiberationFonts::sans;

// Text drawn with extra letter spacing (section titles).
void drawSpacedText(juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area, float spacing,
                    juce::Justification justification);

// The meter scale: green up to about -12 dBFS, amber towards -3, red at the top; `position`
// runs from 0 (silence) to 1 (full scale).
juce::Colour meterColour(float position);

// A repeatable pseudo-random number in [0, 1) for textures (same picture on every run).
float hashNoise(int x, int y, int seed);

// A soft elliptical shadow under an object standing on the panel.
void drawGroundShadow(juce::Graphics& g, juce::Rectangle<float> footprint, float alpha = 0.45f);

// Fills a path with a vertical top-lit gradient of `base` and gives it a thin highlight edge
// on the upper left and a darker edge on the lower right.
void fillLit(juce::Graphics& g, const juce::Path& path, juce::Colour base, float contrast = 0.35f);

// A round lit gradient (sphere or cap) of `base`, its highlight towards the light.
void fillSphere(juce::Graphics& g, juce::Rectangle<float> area, juce::Colour base);

// Drop shadow of a path, offset away from the light.
void dropShadow(juce::Graphics& g, const juce::Path& path, float offset = kShadowOffset, float alpha = 0.5f);

// Clears an image to transparent; makes an image of the catalogue's colour type.
juce::Image makeImage(int width, int height, bool rgb);
} // namespace Style
