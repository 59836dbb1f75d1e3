// Knob filmstrips: 61 frames, the pointer turning through 300 degrees from 7 o'clock to
// 5 o'clock. The light stays at the top left in every frame: only what is fixed to the cap
// (pointer, ridges, knurls) turns.
#include "Parts.h"
#include "Style.h"

#include <cmath>

namespace
{
using EditorLayout::KnobGeometry;
using EditorLayout::Look;

constexpr float kSweepDegrees = 300.0f;

juce::Point<float> onCircle(juce::Point<float> centre, float radius, float angle)
{
    // Angle 0 points up, growing clockwise.
    return {centre.x + radius * std::sin(angle), centre.y - radius * std::cos(angle)};
}

void capShadow(juce::Graphics& g, juce::Point<float> c, float r)
{
    juce::ColourGradient shadow(juce::Colours::black.withAlpha(0.6f), c.x + 2.0f, c.y + 2.5f,
                                juce::Colours::black.withAlpha(0.0f), c.x + 2.0f + r + 3.0f, c.y + 2.5f, true);
    g.setGradientFill(shadow);
    g.fillEllipse(juce::Rectangle<float>(2.0f * r + 6.0f, 2.0f * r + 6.0f).withCentre(c.translated(2.0f, 2.5f)));
}

void brushed(juce::Graphics& g, juce::Point<float> c, float r, float angle)
{
    capShadow(g, c, r);
    // Dark skirt ring, then the aluminium top.
    Style::fillSphere(g, juce::Rectangle<float>(2 * r, 2 * r).withCentre(c), juce::Colour(0xff3a3b40));
    const float top = r * 0.84f;
    const auto face = juce::Rectangle<float>(2 * top, 2 * top).withCentre(c);
    juce::ColourGradient metal(juce::Colour(0xffeeeff2), face.getX(), face.getY(), juce::Colour(0xff8d8f96),
                               face.getRight(), face.getBottom(), false);
    metal.addColour(0.5, juce::Colour(0xffc4c6cc));
    g.setGradientFill(metal);
    g.fillEllipse(face);
    // Concentric brushing: fine rings of slightly varying brightness.
    for (float ring = 1.5f; ring < top; ring += 0.9f)
    {
        const float n = Style::hashNoise(static_cast<int>(ring * 10.0f), 3, 17);
        g.setColour((n > 0.5f ? juce::Colours::white : juce::Colours::black).withAlpha(0.05f + 0.06f * n));
        g.drawEllipse(juce::Rectangle<float>(2 * ring, 2 * ring).withCentre(c), 0.5f);
    }
    // Concentric brushing reflects the light in a soft bow-tie along the light's axis
    // (top left to bottom right), fixed while the cap turns.
    const int slices = 90;
    for (int i = 0; i < slices; ++i)
    {
        const float a = juce::MathConstants<float>::twoPi * i / slices;
        const float along = std::cos(2.0f * (a + juce::MathConstants<float>::pi / 4.0f));
        if (along <= 0.0f)
            continue;
        const bool towardsLight = std::cos(a + juce::MathConstants<float>::pi / 4.0f) > 0.0f;
        juce::Path slice;
        slice.addPieSegment(face.reduced(0.8f), a, a + juce::MathConstants<float>::twoPi / slices + 0.01f, 0.12f);
        g.setColour(juce::Colours::white.withAlpha((towardsLight ? 0.42f : 0.2f) * along * along * along));
        g.fillPath(slice);
    }
    g.setColour(juce::Colours::black.withAlpha(0.45f));
    g.drawEllipse(face, 0.7f);
    // Pointer: a thin dark line from the centre to the edge, with a fine lit edge on the side
    // that faces the light.
    juce::Point<float> lit(std::cos(angle), std::sin(angle));
    if (lit.x + lit.y > 0.0f)
        lit = -lit;
    const juce::Line<float> pointer(onCircle(c, top * 0.15f, angle), onCircle(c, r - 1.0f, angle));
    g.setColour(juce::Colour(0xff141416));
    g.drawLine(pointer, r > 20 ? 2.8f : 2.4f);
    g.setColour(juce::Colours::white.withAlpha(0.4f));
    const float edge = r > 20 ? 1.9f : 1.7f;
    g.drawLine(juce::Line<float>(pointer.getStart() + lit * edge, onCircle(c, top - 1.0f, angle) + lit * edge), 0.6f);
}

void knurled(juce::Graphics& g, juce::Point<float> c, float r, float angle)
{
    capShadow(g, c, r);
    // Knurled skirt: short ridges all round, lit by where they face.
    Style::fillSphere(g, juce::Rectangle<float>(2 * r, 2 * r).withCentre(c), juce::Colour(0xff404248));
    const int ridges = r > 20 ? 40 : 30;
    for (int i = 0; i < ridges; ++i)
    {
        const float a = angle + juce::MathConstants<float>::twoPi * i / ridges;
        // Facing the light (top left, angle -45 degrees) gives a bright ridge.
        const float facing = 0.5f + 0.5f * std::cos(a + juce::MathConstants<float>::pi / 4.0f);
        g.setColour(juce::Colour(0xff1a1b1e).interpolatedWith(juce::Colour(0xffc8cad0), facing * facing));
        g.drawLine(juce::Line<float>(onCircle(c, r * 0.76f, a), onCircle(c, r - 0.6f, a)), 1.3f);
    }
    // Dark steel cap with a soft dome.
    const float top = r * 0.72f;
    const auto face = juce::Rectangle<float>(2 * top, 2 * top).withCentre(c);
    juce::ColourGradient steel(juce::Colour(0xff6d7078), face.getX() + top * 0.5f, face.getY() + top * 0.4f,
                               juce::Colour(0xff17181b), face.getRight(), face.getBottom(), true);
    steel.addColour(0.4, juce::Colour(0xff35373d));
    g.setGradientFill(steel);
    g.fillEllipse(face);
    g.setColour(juce::Colours::white.withAlpha(0.18f));
    g.drawEllipse(face.reduced(0.5f), 0.8f);
    // White dot pointer near the rim.
    const float dot = r > 20 ? 4.6f : 4.0f;
    const auto p = onCircle(c, top - dot * 0.9f, angle);
    g.setColour(juce::Colours::black.withAlpha(0.4f));
    g.fillEllipse(juce::Rectangle<float>(dot, dot).withCentre(p.translated(0.6f, 0.6f)));
    g.setColour(juce::Colour(0xfff4f4f0));
    g.fillEllipse(juce::Rectangle<float>(dot, dot).withCentre(p));
}

void ridged(juce::Graphics& g, juce::Point<float> c, float r, float angle)
{
    capShadow(g, c, r);
    // Black plastic with grip ridges round the rim: a scalloped outline that turns with the cap.
    const int ridges = 14;
    juce::Path outline;
    const int steps = ridges * 12;
    for (int i = 0; i <= steps; ++i)
    {
        const float a = angle + juce::MathConstants<float>::twoPi * i / steps;
        const float bump = 0.5f + 0.5f * std::cos(ridges * (a - angle));
        const auto p = onCircle(c, r * (0.9f + 0.1f * bump), a);
        if (i == 0)
            outline.startNewSubPath(p);
        else
            outline.lineTo(p);
    }
    outline.closeSubPath();
    juce::ColourGradient plastic(juce::Colour(0xff55575e), c.x - r, c.y - r, juce::Colour(0xff0b0b0d), c.x + r * 0.7f,
                                 c.y + r, false);
    g.setGradientFill(plastic);
    g.fillPath(outline);
    // Ridge edges catch the light on the upper left.
    for (int i = 0; i < ridges; ++i)
    {
        const float a = angle + juce::MathConstants<float>::twoPi * (i + 0.5f) / ridges;
        const float facing = 0.5f + 0.5f * std::cos(a + juce::MathConstants<float>::pi / 4.0f);
        g.setColour(juce::Colours::white.withAlpha(0.05f + 0.3f * facing * facing));
        g.drawLine(juce::Line<float>(onCircle(c, r * 0.8f, a), onCircle(c, r * 0.97f, a)), 0.9f);
    }
    // Satin top: a fixed soft highlight towards the light.
    const float top = r * 0.74f;
    const auto face = juce::Rectangle<float>(2 * top, 2 * top).withCentre(c);
    juce::ColourGradient satin(juce::Colour(0xff3e4046), face.getX() + top * 0.55f, face.getY() + top * 0.45f,
                               juce::Colour(0xff121214), face.getRight(), face.getBottom(), true);
    g.setGradientFill(satin);
    g.fillEllipse(face);
    g.setColour(juce::Colours::black.withAlpha(0.6f));
    g.drawEllipse(face, 0.8f);
    // Amber pointer stripe from near the centre across the rim.
    g.setColour(Style::kAccent);
    g.drawLine(juce::Line<float>(onCircle(c, r * 0.3f, angle), onCircle(c, r * 0.97f, angle)), r > 20 ? 3.0f : 2.4f);
    g.setColour(juce::Colours::white.withAlpha(0.45f));
    g.drawLine(juce::Line<float>(onCircle(c, r * 0.32f, angle), onCircle(c, r * 0.7f, angle)), 0.8f);
}
} // namespace

juce::Image drawKnobStrip(const Artwork::ImageSpec& spec, Look look)
{
    const KnobGeometry geometry = EditorLayout::knobGeometry(look);
    juce::Image image = Style::makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    const juce::Point<float> centre(geometry.centreX, geometry.centreY);
    for (int frame = 0; frame < spec.frames; ++frame)
    {
        const float angle =
            juce::degreesToRadians(-kSweepDegrees / 2.0f + kSweepDegrees * frame / static_cast<float>(spec.frames - 1));
        juce::Graphics::ScopedSaveState state(g);
        g.setOrigin(frame * spec.frameWidth(), 0);
        g.reduceClipRegion(0, 0, spec.frameWidth(), spec.frameHeight());
        switch (look)
        {
        case Look::BrushedLarge:
        case Look::BrushedSmall: brushed(g, centre, geometry.radius, angle); break;
        case Look::KnurledLarge:
        case Look::KnurledSmall: knurled(g, centre, geometry.radius, angle); break;
        default: ridged(g, centre, geometry.radius, angle); break;
        }
    }
    return image;
}
