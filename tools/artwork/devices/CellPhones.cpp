// Mobile phones: candy bars, budget and battered phones, smartphones, flip phones, the brick;
// the "speaker" variants lie flat on their backs with sound rising from them.
#include "devices/Families.h"

#include <cmath>

namespace Devices
{
namespace
{
// Draws the phone standing upright in a box of w x h centred on c.
void uprightPhone(juce::Graphics& g, P c, float w, float h, const Device& d)
{
    const juce::Colour body = d.bodyColour(), glass = d.trimColour();
    const R b = R(w, h).withCentre(c);
    switch (d.style)
    {
    case CellSmart:
    case CellBroken:
    {
        litBox(g, b, body, w * 0.16f, 0.5f);
        const R s = b.reduced(w * 0.06f, w * 0.08f);
        screen(g, s, glass, w * 0.1f);
        // Icons on the home screen.
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 3; ++col)
            {
                const juce::Colour icon = juce::Colour::fromHSV((row * 3 + col) / 12.0f, 0.6f, 0.95f, 1.0f);
                g.setColour(icon);
                g.fillRoundedRectangle(R(s.getX() + 3 + col * (s.getWidth() - 6) / 3, s.getY() + 5 + row * 8.5f, 5, 5),
                                       1.2f);
            }
        g.setColour(juce::Colours::black);
        g.fillRoundedRectangle(R(w * 0.3f, 2.0f).withCentre(P(c.x, s.getY() + 2.0f)), 1.0f);
        if (d.style == CellBroken) // a spider-web crack from an impact point
        {
            const P hit(s.getX() + s.getWidth() * 0.65f, s.getY() + s.getHeight() * 0.35f);
            g.setColour(juce::Colours::white.withAlpha(0.85f));
            for (int i = 0; i < 9; ++i)
            {
                const float a = i * 0.7f + 0.3f;
                P p = hit;
                juce::Path crack;
                crack.startNewSubPath(p);
                for (int seg = 0; seg < 3; ++seg)
                {
                    p += P(std::sin(a + seg * 0.35f), std::cos(a + seg * 0.35f)) * (5.0f + seg * 3.0f);
                    crack.lineTo(p);
                }
                g.strokePath(crack, juce::PathStrokeType(0.7f));
            }
            g.drawEllipse(R(6, 6).withCentre(hit), 0.7f);
        }
        break;
    }
    case CellFlip:
    {
        // Open clamshell: screen half above, keypad half below, hinge between.
        const R top = b.withHeight(h * 0.48f), bottom = b.withTrimmedTop(h * 0.52f);
        litBox(g, top, body, 5, 0.4f);
        litBox(g, bottom, body.darker(0.1f), 5, 0.4f);
        litBox(g, R(w * 0.7f, h * 0.06f).withCentre(P(c.x, b.getY() + h * 0.5f)), body.darker(0.4f), 2);
        screen(g, top.reduced(w * 0.12f, h * 0.07f), glass);
        keys(g, bottom.reduced(w * 0.15f, h * 0.06f), 3, 5, body.brighter(0.4f), 1.0f, 1.5f);
        break;
    }
    case CellBrick:
    {
        litBox(g, b, body, 3, 0.4f);
        antenna(g, P(b.getRight() - 6, b.getY()), h * 0.45f, 0.0f, false);
        screen(g, R(b.getX() + 4, b.getY() + 8, w - 8, h * 0.16f), glass);
        keys(g, R(b.getX() + 4, b.getY() + h * 0.36f, w - 8, h * 0.5f), 3, 5, juce::Colour(0xff4a4c52), 1.2f);
        dotGrille(g, R(w * 0.5f, 3).withCentre(P(c.x, b.getY() + 4)), body.darker(0.3f), 1.5f);
        break;
    }
    default:
    {
        // Candy bars: screen on top, keypad below.
        const bool budget = d.style == CellBudget;
        litBox(g, b, body, w * 0.28f, 0.45f);
        if (d.style == CellCandyBar || d.style == CellBeatUp)
            litBox(g, R(w * 0.25f, 7).withCentre(P(b.getRight() - w * 0.25f, b.getY() - 2)), body.darker(0.3f), 2);
        screen(g, R(b.getX() + w * 0.14f, b.getY() + h * 0.1f, w * 0.72f, h * 0.3f), glass);
        keys(g, R(b.getX() + w * 0.14f, b.getY() + h * 0.48f, w * 0.72f, h * 0.44f), 3, budget ? 3 : 4,
             budget ? juce::Colour(0xffe8e8e4) : body.brighter(0.35f), budget ? 2.0f : 1.0f, budget ? 3.0f : 1.0f);
        if (d.style == CellBeatUp)
        {
            // Scratches and a strip of tape round one corner.
            g.setColour(juce::Colours::white.withAlpha(0.5f));
            for (int i = 0; i < 6; ++i)
                g.drawLine(b.getX() + 3 + i * 3.0f, b.getY() + 4 + i * 7.0f, b.getX() + 9 + i * 2.0f, b.getY() + 7 + i * 7.0f, 0.5f);
            juce::Path tape;
            tape.addRectangle(-8, -3, 16, 6);
            tape.applyTransform(juce::AffineTransform::rotation(-0.8f).translated(b.getRight() - 3, b.getBottom() - 4));
            g.setColour(juce::Colour(0xd0c8b888));
            g.fillPath(tape);
        }
        break;
    }
    }
}
} // namespace

void cellPhone(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    float w = 30.0f, h = 64.0f;
    switch (d.style)
    {
    case CellSmart:
    case CellBroken: w = 34; h = 68; break;
    case CellBudget: w = 30; h = 60; break;
    case CellFlip: w = 28; h = 72; break;
    case CellBrick: w = 24; h = 56; break;
    default: break;
    }
    w *= d.size;
    h *= d.size;
    if (!d.waves)
    {
        floorShadow(g, R(w * 1.6f, 8).withCentre(P(c.x, a.getBottom() - 4)));
        uprightPhone(g, c.translated(0, d.style == CellBrick ? 8.0f : 0.0f), w, h, d);
        return;
    }
    // Lying on its back, seen from above at a slant; sound waves rise from the speaker.
    floorShadow(g, R(h * 1.25f, w * 0.9f).withCentre(c.translated(-4, 14)));
    {
        juce::Graphics::ScopedSaveState state(g);
        g.addTransform(juce::AffineTransform::rotation(-juce::MathConstants<float>::halfPi, c.x, c.y)
                           .followedBy(juce::AffineTransform::shear(-0.5f, 0.0f).scaled(1.0f, 0.6f)
                                           .translated(0.5f * c.y, 0.4f * c.y + 8.0f)));
        uprightPhone(g, c, w, h, d);
    }
    waves(g, c.translated(-h * 0.3f, -4.0f), 0.0f, 6.0f);
}
} // namespace Devices
