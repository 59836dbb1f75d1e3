// In-car radios set in their dashboards, and the cars themselves.
#include "devices/Families.h"

#include "Style.h"

namespace Devices
{
namespace
{
void wheel(juce::Graphics& g, P c, float r, bool wire)
{
    g.setColour(juce::Colour(0xff111112));
    g.fillEllipse(R(2 * r, 2 * r).withCentre(c));
    litEllipse(g, R(r * 1.2f, r * 1.2f).withCentre(c), juce::Colour(0xffc8ccd2), 0.5f);
    if (wire)
    {
        g.setColour(juce::Colour(0xfff0f0f4));
        for (int i = 0; i < 12; ++i)
        {
            const float a = i * juce::MathConstants<float>::twoPi / 12.0f;
            g.drawLine(juce::Line<float>(c, c + P(std::cos(a), std::sin(a)) * (r * 0.6f)), 0.5f);
        }
    }
}
} // namespace

void headUnit(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    // The dashboard fills the frame; the radio sits in its slot.
    const juce::Colour dash = d.style == HeadUnitVan ? d.bodyColour() : juce::Colour(0xff2a2b2e);
    juce::Path board;
    board.startNewSubPath(a.getX() - 6, a.getY() + 10);
    board.quadraticTo(c.x, a.getY() - 2, a.getRight() + 6, a.getY() + 10);
    board.lineTo(a.getRight() + 6, a.getBottom() + 4);
    board.lineTo(a.getX() - 6, a.getBottom() + 4);
    board.closeSubPath();
    litPath(g, board, dash, 0.25f);
    const R unit = R(84, 26).withCentre(d.style == HeadUnitVan || d.style == HeadUnitTruck ? c.translated(-16, 6)
                                                                                            : c.translated(0, 6));
    g.setColour(juce::Colours::black);
    g.fillRoundedRectangle(unit.expanded(3), 3);
    switch (d.style)
    {
    case HeadUnitClassic:
        litBox(g, unit, juce::Colour(0xffc8ccd2), 2, 0.45f); // chrome bezel
        screen(g, R(unit.getX() + 20, unit.getY() + 5, 44, 10), juce::Colour(0xff3a2a10));
        g.setColour(juce::Colour(0xffe8c070));
        for (int i = 0; i < 9; ++i)
            g.drawVerticalLine(static_cast<int>(unit.getX() + 23 + i * 4.5f), unit.getY() + 7, unit.getY() + 11);
        g.setColour(juce::Colour(0xffff3a2a));
        g.drawVerticalLine(static_cast<int>(unit.getX() + 40), unit.getY() + 5, unit.getY() + 15);
        knob(g, P(unit.getX() + 10, unit.getCentreY()), 6, juce::Colour(0xff2a2b2e));
        knob(g, P(unit.getRight() - 10, unit.getCentreY()), 6, juce::Colour(0xff2a2b2e));
        keys(g, R(unit.getX() + 22, unit.getY() + 18, 40, 5), 5, 1, juce::Colour(0xff2a2b2e), 1.0f);
        break;
    case HeadUnitDigital:
        litBox(g, unit, juce::Colour(0xff18191b), 2);
        screen(g, R(unit.getX() + 18, unit.getY() + 4, 48, 10), juce::Colour(0xff0a1a0e));
        digits(g, R(unit.getX() + 20, unit.getY() + 5, 44, 8), "FM 101.5", d.trimColour());
        keys(g, R(unit.getX() + 6, unit.getY() + 17, 72, 5), 9, 1, juce::Colour(0xff4a4c52), 1.0f);
        knob(g, P(unit.getX() + 9, unit.getY() + 9), 5, juce::Colour(0xff4a4c52));
        keys(g, R(unit.getRight() - 14, unit.getY() + 3, 10, 11), 2, 2, juce::Colour(0xff4a4c52), 1.0f);
        break;
    default:
        litBox(g, unit, juce::Colour(0xff2a2b2e), 2);
        screen(g, R(unit.getX() + 20, unit.getY() + 5, 44, 10), juce::Colour(0xff1a2a10));
        digits(g, R(unit.getX() + 22, unit.getY() + 6, 40, 8), d.style == HeadUnitTruck ? "CH 19" : "AM 880",
               juce::Colour(0xffffb23f));
        knob(g, P(unit.getX() + 10, unit.getCentreY()), 6, juce::Colour(0xff5a5c62));
        knob(g, P(unit.getRight() - 10, unit.getCentreY()), 6, juce::Colour(0xff5a5c62));
        break;
    }
    if (d.style == HeadUnitVan) // a speaker grille in the dash beside it
        slotGrille(g, R(30, 30).withCentre(c.translated(44, 8)), d.bodyColour().darker(0.2f), 3.0f);
    if (d.style == HeadUnitTruck) // the CB hand mic clipped beside it
    {
        litBox(g, R(16, 28).withCentre(c.translated(44, 2)), juce::Colour(0xff1a1a1c), 6);
        dotGrille(g, R(10, 10).withCentre(c.translated(44, -2)), juce::Colour(0xff2a2b2e), 1.8f, true);
        cord(g, c.translated(44, 16), c.translated(20, 30), 6, juce::Colour(0xff1a1a1c), true, 1.0f);
    }
}

void car(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour paint = d.bodyColour();
    const float ground = a.getBottom() - 6;
    floorShadow(g, R(122, 8).withCentre(P(c.x, ground + 2)));
    juce::Path body, glass;
    float wheelR = 11, frontX = c.x + 38, rearX = c.x - 38;
    bool wire = false;
    switch (d.style)
    {
    case CarLowrider:
        // Long, low, with chrome trim.
        body.addRoundedRectangle(c.x - 60, ground - 26, 120, 16, 5);
        body.addRoundedRectangle(c.x - 30, ground - 40, 58, 18, 6);
        glass.addRoundedRectangle(c.x - 26, ground - 37, 24, 12, 3);
        glass.addRoundedRectangle(c.x + 1, ground - 37, 23, 12, 3);
        wheelR = 10;
        frontX = c.x + 40;
        rearX = c.x - 40;
        wire = true;
        break;
    case CarOffroader:
        // Boxy, tall, a spare wheel on the back.
        body.addRoundedRectangle(c.x - 50, ground - 36, 100, 26, 3);
        body.addRoundedRectangle(c.x - 42, ground - 58, 72, 24, 3);
        glass.addRectangle(c.x - 38, ground - 54, 30, 14);
        glass.addRectangle(c.x - 4, ground - 54, 30, 14);
        wheelR = 13;
        frontX = c.x + 32;
        rearX = c.x - 32;
        break;
    case CarHatchback:
        body.addRoundedRectangle(c.x - 46, ground - 30, 92, 20, 7);
        {
            juce::Path roof = polygon({P(c.x - 40, ground - 28), P(c.x - 36, ground - 52), P(c.x + 6, ground - 52),
                                       P(c.x + 30, ground - 28)});
            body.addPath(roof);
            glass.startNewSubPath(c.x - 33, ground - 32);
            glass.lineTo(c.x - 31, ground - 48);
            glass.lineTo(c.x + 4, ground - 48);
            glass.lineTo(c.x + 22, ground - 32);
            glass.closeSubPath();
        }
        wheelR = 11;
        frontX = c.x + 30;
        rearX = c.x - 30;
        break;
    default:
        // Teardrop hybrid: one smooth arc.
        body.startNewSubPath(c.x - 56, ground - 12);
        body.quadraticTo(c.x - 50, ground - 54, c.x - 4, ground - 54);
        body.quadraticTo(c.x + 40, ground - 50, c.x + 58, ground - 18);
        body.lineTo(c.x + 56, ground - 10);
        body.lineTo(c.x - 56, ground - 10);
        body.closeSubPath();
        glass.startNewSubPath(c.x - 38, ground - 32);
        glass.quadraticTo(c.x - 30, ground - 50, c.x - 4, ground - 50);
        glass.quadraticTo(c.x + 24, ground - 48, c.x + 36, ground - 32);
        glass.closeSubPath();
        wheelR = 10;
        frontX = c.x + 36;
        rearX = c.x - 36;
        break;
    }
    litPath(g, body, paint, 0.4f);
    juce::ColourGradient sky(juce::Colour(0xff9fc8e8), c.x - 30, ground - 56, juce::Colour(0xff2a3a4a), c.x + 10, ground - 26,
                             false);
    g.setGradientFill(sky);
    g.fillPath(glass);
    if (d.style == CarLowrider) // chrome strip along the side
    {
        g.setColour(juce::Colour(0xffe8e8f0));
        g.drawLine(c.x - 58, ground - 18, c.x + 58, ground - 18, 1.2f);
    }
    if (d.style == CarOffroader) // the spare wheel
        wheel(g, P(c.x - 54, ground - 30), 9, false);
    if (d.style == CarTeardrop) // an accent stripe
    {
        g.setColour(d.trimColour());
        g.drawLine(c.x - 50, ground - 14, c.x + 50, ground - 14, 1.6f);
    }
    wheel(g, P(rearX, ground - wheelR * 0.4f), wheelR, wire);
    wheel(g, P(frontX, ground - wheelR * 0.4f), wheelR, wire);
    led(g, P(c.x + (d.style == CarOffroader ? 49.0f : 55.0f), ground - 22), 1.3f, juce::Colour(0xfffff0c0));
}
} // namespace Devices
