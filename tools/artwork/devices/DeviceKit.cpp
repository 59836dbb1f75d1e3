#include "devices/DeviceKit.h"

#include "Style.h"

#include <cmath>

namespace Devices
{
juce::Path polygon(std::initializer_list<P> corners)
{
    juce::Path p;
    p.startNewSubPath(*corners.begin());
    for (auto corner = corners.begin() + 1; corner != corners.end(); ++corner)
        p.lineTo(*corner);
    p.closeSubPath();
    return p;
}

juce::Path trapezoid(R b, float inset)
{
    return polygon({P(b.getX(), b.getBottom()), P(b.getX() + inset, b.getY()),
                    P(b.getRight() - inset, b.getY()), P(b.getRight(), b.getBottom())});
}

void litPath(juce::Graphics& g, const juce::Path& path, juce::Colour c, float contrast)
{
    Style::fillLit(g, path, c, contrast);
}

void litBox(juce::Graphics& g, R r, juce::Colour c, float corner, float contrast)
{
    juce::Path p;
    p.addRoundedRectangle(r, corner);
    litPath(g, p, c, contrast);
}

void litEllipse(juce::Graphics& g, R r, juce::Colour c, float contrast)
{
    juce::Path p;
    p.addEllipse(r);
    litPath(g, p, c, contrast);
}

void floorShadow(juce::Graphics& g, R footprint)
{
    Style::drawGroundShadow(g, footprint, 0.55f);
}

void cone(juce::Graphics& g, P c, float radius, juce::Colour coneColour, juce::Colour surround)
{
    g.setColour(surround);
    g.fillEllipse(R(2 * radius, 2 * radius).withCentre(c));
    juce::ColourGradient ring(surround.brighter(0.6f), c.x - radius, c.y - radius, surround.darker(0.5f), c.x + radius,
                              c.y + radius, false);
    g.setGradientFill(ring);
    g.drawEllipse(R(2 * radius, 2 * radius).withCentre(c).reduced(radius * 0.08f), radius * 0.14f);
    const float inner = radius * 0.8f;
    // The cone is lit on its lower right (it is a funnel: its far wall faces the light).
    juce::ColourGradient body(coneColour.darker(0.5f), c.x - inner, c.y - inner, coneColour.brighter(0.35f), c.x + inner,
                              c.y + inner, false);
    g.setGradientFill(body);
    g.fillEllipse(R(2 * inner, 2 * inner).withCentre(c));
    Style::fillSphere(g, R(radius * 0.7f, radius * 0.7f).withCentre(c), coneColour.brighter(0.15f));
}

void dotGrille(juce::Graphics& g, R r, juce::Colour base, float pitch, bool round)
{
    litBox(g, r, base, round ? r.getWidth() / 2.0f : 2.0f, 0.2f);
    juce::Graphics::ScopedSaveState state(g);
    juce::Path clip;
    if (round)
        clip.addEllipse(r.reduced(1.0f));
    else
        clip.addRoundedRectangle(r.reduced(1.0f), 1.5f);
    g.reduceClipRegion(clip);
    g.setColour(juce::Colours::black.withAlpha(0.65f));
    const float hole = std::max(0.8f, pitch * 0.45f);
    for (float y = r.getY() + pitch / 2; y < r.getBottom(); y += pitch)
        for (float x = r.getX() + pitch / 2 + (static_cast<int>((y - r.getY()) / pitch) % 2) * pitch / 2; x < r.getRight();
             x += pitch)
            g.fillEllipse(x - hole / 2, y - hole / 2, hole, hole);
}

void slotGrille(juce::Graphics& g, R r, juce::Colour base, float pitch)
{
    litBox(g, r, base, 2.0f, 0.2f);
    for (float y = r.getY() + pitch * 0.7f; y < r.getBottom() - 1.0f; y += pitch)
    {
        g.setColour(juce::Colours::black.withAlpha(0.7f));
        g.fillRect(R(r.getX() + 2.0f, y, r.getWidth() - 4.0f, pitch * 0.4f));
        g.setColour(juce::Colours::white.withAlpha(0.12f));
        g.fillRect(R(r.getX() + 2.0f, y + pitch * 0.4f, r.getWidth() - 4.0f, 0.5f));
    }
}

void clothGrille(juce::Graphics& g, R r, juce::Colour cloth, float corner)
{
    litBox(g, r, cloth, corner, 0.25f);
    juce::Graphics::ScopedSaveState state(g);
    g.reduceClipRegion(r.toNearestInt());
    for (int y = static_cast<int>(r.getY()); y < r.getBottom(); ++y)
        for (int x = static_cast<int>(r.getX()); x < r.getRight(); ++x)
            if ((x + y) % 2 == 0)
            {
                g.setColour(juce::Colours::black.withAlpha(0.08f + 0.1f * Style::hashNoise(x, y, 5)));
                g.fillRect(x, y, 1, 1);
            }
}

void knob(juce::Graphics& g, P c, float radius, juce::Colour colour, float angle)
{
    g.setColour(juce::Colours::black.withAlpha(0.4f));
    g.fillEllipse(R(2 * radius, 2 * radius).withCentre(c.translated(0.8f, 0.8f)));
    Style::fillSphere(g, R(2 * radius, 2 * radius).withCentre(c), colour);
    g.setColour(colour.getPerceivedBrightness() > 0.5f ? juce::Colours::black : juce::Colours::white);
    g.drawLine(juce::Line<float>(c, c + P(std::sin(angle), -std::cos(angle)) * radius * 0.85f), std::max(0.7f, radius * 0.22f));
}

void keys(juce::Graphics& g, R r, int columns, int rows, juce::Colour key, float gap, float corner)
{
    const float w = (r.getWidth() - gap * (columns - 1)) / columns;
    const float h = (r.getHeight() - gap * (rows - 1)) / rows;
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < columns; ++col)
            litBox(g, R(r.getX() + col * (w + gap), r.getY() + row * (h + gap), w, h), key, corner, 0.35f);
}

void screen(juce::Graphics& g, R r, juce::Colour glass, float corner)
{
    g.setColour(juce::Colours::black.withAlpha(0.8f));
    g.fillRoundedRectangle(r.expanded(0.8f), corner + 0.5f);
    juce::ColourGradient fill(glass.brighter(0.3f), r.getX(), r.getY(), glass.darker(0.3f), r.getRight(), r.getBottom(),
                              false);
    g.setGradientFill(fill);
    g.fillRoundedRectangle(r, corner);
    juce::Path sheen = polygon({P(r.getX(), r.getY()), P(r.getX() + r.getWidth() * 0.55f, r.getY()),
                                P(r.getX(), r.getY() + r.getHeight() * 0.7f)});
    g.setColour(juce::Colours::white.withAlpha(0.12f));
    g.fillPath(sheen);
}

void digits(juce::Graphics& g, R r, const juce::String& text, juce::Colour colour)
{
    g.setColour(colour);
    g.setFont(Style::sans(r.getHeight() * 1.05f, true));
    g.drawFittedText(text, r.toNearestInt(), juce::Justification::centred, 1, 0.6f);
}

void cord(juce::Graphics& g, P a, P b, float sag, juce::Colour c, bool coiled, float width)
{
    juce::Path p;
    p.startNewSubPath(a);
    const P mid = (a + b) / 2.0f + P(0.0f, sag);
    if (!coiled)
        p.quadraticTo(mid, b);
    else
    {
        const int loops = static_cast<int>(a.getDistanceFrom(b) / 2.2f) + 4;
        for (int i = 1; i <= loops * 4; ++i)
        {
            const float t = i / static_cast<float>(loops * 4);
            const P base = a * (1 - t) * (1 - t) + mid * 2 * t * (1 - t) + b * t * t;
            const float phase = t * loops * juce::MathConstants<float>::twoPi;
            p.lineTo(base + P(std::cos(phase) * 1.8f, std::sin(phase) * 1.8f));
        }
    }
    g.setColour(juce::Colours::black.withAlpha(0.35f));
    g.strokePath(p, juce::PathStrokeType(width + 0.6f), juce::AffineTransform::translation(0.8f, 1.0f));
    g.setColour(c);
    g.strokePath(p, juce::PathStrokeType(width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.setColour(c.brighter(0.6f).withAlpha(0.5f));
    g.strokePath(p, juce::PathStrokeType(width * 0.35f), juce::AffineTransform::translation(-0.3f, -0.4f));
}

void antenna(juce::Graphics& g, P base, float length, float angle, bool telescopic)
{
    const P dir(std::sin(angle), -std::cos(angle));
    const int sections = telescopic ? 3 : 1;
    for (int i = 0; i < sections; ++i)
    {
        const float from = length * i / sections, to = length * (i + 1) / sections;
        const float w = telescopic ? 2.2f - 0.5f * i : 2.6f;
        g.setColour(telescopic ? juce::Colour(0xffd8d9dc).darker(0.1f * i) : juce::Colour(0xff1b1b1d));
        g.drawLine(juce::Line<float>(base + dir * from, base + dir * to), w);
    }
    if (telescopic)
        Style::fillSphere(g, R(3.0f, 3.0f).withCentre(base + dir * length), juce::Colour(0xffc8c9cc));
}

void waves(juce::Graphics& g, P origin, float direction, float start, int count)
{
    for (int i = 0; i < count; ++i)
    {
        const float r = start + i * 5.0f;
        juce::Path arc;
        arc.addCentredArc(origin.x, origin.y, r, r, 0.0f, direction - 0.6f, direction + 0.6f, true);
        g.setColour(Style::kAccent.withAlpha(0.9f - 0.22f * i));
        g.strokePath(arc, juce::PathStrokeType(1.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }
}

void arc(juce::Graphics& g, R box, float from, float to, float thickness)
{
    juce::Path p;
    p.addCentredArc(box.getCentreX(), box.getCentreY(), box.getWidth() / 2, box.getHeight() / 2, 0.0f, from, to, true);
    g.strokePath(p, juce::PathStrokeType(thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void led(juce::Graphics& g, P c, float radius, juce::Colour colour)
{
    g.setColour(colour.withAlpha(0.35f));
    g.fillEllipse(R(radius * 4, radius * 4).withCentre(c));
    Style::fillSphere(g, R(radius * 2, radius * 2).withCentre(c), colour);
}

void woodGrain(juce::Graphics& g, R r, juce::Colour wood, float corner)
{
    litBox(g, r, wood, corner, 0.25f);
    juce::Graphics::ScopedSaveState state(g);
    juce::Path clip;
    clip.addRoundedRectangle(r, corner);
    g.reduceClipRegion(clip);
    for (float y = r.getY() + 1.0f; y < r.getBottom(); y += 2.3f)
    {
        juce::Path line;
        line.startNewSubPath(r.getX(), y);
        for (float x = r.getX(); x <= r.getRight(); x += 4.0f)
            line.lineTo(x, y + std::sin(x * 0.21f + y * 0.7f) * 0.7f);
        g.setColour(wood.darker(0.5f).withAlpha(0.25f + 0.2f * Style::hashNoise(static_cast<int>(y * 3), 1, 8)));
        g.strokePath(line, juce::PathStrokeType(0.6f));
    }
}

void handset(juce::Graphics& g, P ear, P mouth, float t, juce::Colour c)
{
    juce::Path handle, cups;
    const P dir = (mouth - ear) / ear.getDistanceFrom(mouth);
    const P normal(-dir.y, dir.x);
    // Handle with a gentle bow, cups at both ends. Filled one by one: overlapping parts
    // drawn in opposite directions would cancel in a single path.
    handle.startNewSubPath(ear + normal * (t * 0.35f));
    handle.quadraticTo((ear + mouth) / 2.0f + normal * (t * 1.0f), mouth + normal * (t * 0.35f));
    handle.lineTo(mouth - normal * (t * 0.35f));
    handle.quadraticTo((ear + mouth) / 2.0f + normal * (t * 0.3f), ear - normal * (t * 0.35f));
    handle.closeSubPath();
    juce::Path earCup, mouthCup;
    earCup.addEllipse(R(t * 1.9f, t * 1.5f).withCentre(ear - normal * (t * 0.25f)));
    mouthCup.addEllipse(R(t * 1.9f, t * 1.5f).withCentre(mouth - normal * (t * 0.25f)));
    for (const juce::Path* part : {&handle, &earCup, &mouthCup})
        Style::dropShadow(g, *part, 1.2f, 0.25f);
    litPath(g, handle, c, 0.35f);
    litPath(g, earCup, c, 0.35f);
    litPath(g, mouthCup, c, 0.35f);
}
} // namespace Devices
