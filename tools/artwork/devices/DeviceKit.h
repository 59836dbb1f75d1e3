// What the device pictures are drawn with: the per-device look that the catalogue gives each
// picture, and the parts many devices share (lit bodies, speaker cones, grilles, keys,
// screens, cords, antennas, sound waves), all lit from the top left.
#pragma once

#include <juce_graphics/juce_graphics.h>

#include <initializer_list>

namespace Devices
{
struct Device;
using Draw = void (*)(juce::Graphics&, juce::Rectangle<float> area, const Device&);

// One picture: the device's name (its caption), the family's drawing and what sets this device
// apart within its family.
struct Device
{
    const char* name;
    Draw draw;
    int style;          // the family's variant (its meaning is the family's)
    juce::uint32 body;  // main colour
    juce::uint32 trim;  // second colour
    float size = 1.0f;  // relative size within the family
    bool waves = false; // the "speaker" variant: laid down, sound coming from its grille

    juce::Colour bodyColour() const { return juce::Colour(body); }
    juce::Colour trimColour() const { return juce::Colour(trim); }
};

// The catalogue: the picture of device k (SIMType k).
const Device& device(int index);

using R = juce::Rectangle<float>;
using P = juce::Point<float>;

// A closed outline through `corners` in order, joined by straight lines.
juce::Path polygon(std::initializer_list<P> corners);
// A box narrower at the top than at the bottom by `inset` on each side (a wedge-shaped front).
juce::Path trapezoid(R b, float inset);
// A body lit from the top left: gradient fill, light upper-left edge, dark lower-right edge.
void litBox(juce::Graphics& g, R r, juce::Colour c, float corner = 3.0f, float contrast = 0.3f);
void litPath(juce::Graphics& g, const juce::Path& path, juce::Colour c, float contrast = 0.3f);
void litEllipse(juce::Graphics& g, R r, juce::Colour c, float contrast = 0.3f);
// A soft shadow on the floor under an object.
void floorShadow(juce::Graphics& g, R footprint);
// A loudspeaker cone seen from the front: surround, cone, dust cap.
void cone(juce::Graphics& g, P centre, float radius, juce::Colour coneColour = juce::Colour(0xff2a2a2c),
          juce::Colour surround = juce::Colour(0xff151516));
// Grilles: a field of holes, horizontal slots, or woven cloth.
void dotGrille(juce::Graphics& g, R r, juce::Colour base, float pitch = 3.0f, bool round = false);
void slotGrille(juce::Graphics& g, R r, juce::Colour base, float pitch = 3.0f);
void clothGrille(juce::Graphics& g, R r, juce::Colour cloth, float corner = 2.0f);
// A round control knob with a pointer.
void knob(juce::Graphics& g, P centre, float radius, juce::Colour c, float angle = -0.6f);
// A grid of keys.
void keys(juce::Graphics& g, R r, int columns, int rows, juce::Colour key, float gap = 1.0f, float corner = 1.0f);
// A display or screen, optionally glowing.
void screen(juce::Graphics& g, R r, juce::Colour glass, float corner = 1.5f);
// Digits on a display.
void digits(juce::Graphics& g, R r, const juce::String& text, juce::Colour colour);
// A cord from a to b sagging by `sag`, coiled when asked.
void cord(juce::Graphics& g, P a, P b, float sag, juce::Colour c, bool coiled = false, float width = 1.4f);
// An antenna from `base` at `angle` (radians from vertical), telescopic sections when asked.
void antenna(juce::Graphics& g, P base, float length, float angle, bool telescopic = true);
// Two or three sound-wave arcs leaving `origin` towards `direction` (radians from vertical).
void waves(juce::Graphics& g, P origin, float direction, float start = 6.0f, int count = 3);
// An arc of the ellipse in `box` from angle `from` to `to` (radians, 0 up, clockwise), in the current colour.
void arc(juce::Graphics& g, R box, float from, float to, float thickness);
// A small coloured light.
void led(juce::Graphics& g, P centre, float radius, juce::Colour c);
// Wood grain across a box.
void woodGrain(juce::Graphics& g, R r, juce::Colour wood, float corner = 3.0f);
// A straight handset (receiver): ear cup at `ear`, mouth cup at `mouth`.
void handset(juce::Graphics& g, P ear, P mouth, float thickness, juce::Colour c);
} // namespace Devices
