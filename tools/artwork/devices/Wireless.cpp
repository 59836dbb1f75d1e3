// Radios that talk back: walkie-talkies, CB sets and their speaker, baby monitors,
// intercoms, and the megaphones.
#include "devices/Families.h"

#include "Style.h"

#include <cmath>

namespace Devices
{
void walkieTalkie(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour(), second = d.trimColour();
    float w = 30, h = 58, antennaLength = 14;
    bool telescopic = false;
    switch (d.style)
    {
    case WalkieHandheldCb: w = 28; h = 54; antennaLength = 30; break;
    case WalkieSlim: w = 24; h = 52; antennaLength = 10; break;
    case WalkieTiny: w = 20; h = 38; antennaLength = 8; break;
    case WalkieToy: w = 36; h = 54; antennaLength = 12; break;
    case WalkieVintage: w = 34; h = 56; antennaLength = 44; telescopic = true; break;
    default: break;
    }
    const R b = R(w, h).withCentre(P(c.x, a.getBottom() - h / 2 - 3));
    floorShadow(g, R(w + 12, 8).withCentre(P(c.x, b.getBottom())));
    antenna(g, P(b.getRight() - 6, b.getY() + 2), std::min(antennaLength, b.getY() - a.getY() + 2), 0.08f, telescopic);
    if (d.style == WalkieBlue) // belt clip behind
        litBox(g, R(8, 30).withCentre(P(b.getX() - 2, b.getCentreY())), juce::Colour(0xff1e1f22), 2);
    const float corner = d.style == WalkieToy ? 10.0f : (d.style == WalkieVintage ? 3.0f : 6.0f);
    litBox(g, b, body, corner, 0.4f);
    knob(g, P(b.getX() + 7, b.getY() - 2), 3.5f, juce::Colour(0xff2a2b2e));
    switch (d.style)
    {
    case WalkieToy:
        litBox(g, R(b.getX() + 4, b.getY() + 4, w - 8, h * 0.45f), second, 6);
        dotGrille(g, R(w - 16, h * 0.3f).withCentre(P(c.x, b.getY() + h * 0.26f)), second.darker(0.2f), 2.6f, true);
        Style::fillSphere(g, R(14, 14).withCentre(P(c.x, b.getBottom() - 14)), juce::Colour(0xff3ab0e0));
        break;
    case WalkieSlim:
        litBox(g, R(b.getX() + 3, b.getY() + h * 0.5f, w - 6, h * 0.46f), second, 4);
        screen(g, R(b.getX() + 4, b.getY() + 6, w - 8, 8), juce::Colour(0xffa9c29a));
        slotGrille(g, R(b.getX() + 4, b.getY() + 17, w - 8, 12), body.darker(0.2f), 2.5f);
        break;
    case WalkieHandheldCb:
        screen(g, R(b.getX() + 4, b.getY() + 5, w - 8, 9), juce::Colour(0xffffb23f).darker(0.5f));
        dotGrille(g, R(b.getX() + 4, b.getY() + 17, w - 8, 12), body.brighter(0.1f), 2.0f);
        keys(g, R(b.getX() + 4, b.getY() + 32, w - 8, h - 36), 3, 4, second, 1.0f);
        break;
    case WalkieVintage:
        slotGrille(g, R(b.getX() + 4, b.getY() + 6, w - 8, h * 0.5f), body.brighter(0.15f), 3.0f);
        knob(g, P(c.x - 6, b.getBottom() - 12), 4, juce::Colour(0xff2a2b2e));
        knob(g, P(c.x + 7, b.getBottom() - 12), 4, juce::Colour(0xff2a2b2e));
        break;
    default:
        dotGrille(g, R(b.getX() + 4, b.getY() + 6, w - 8, h * 0.45f), body.darker(0.25f), 2.2f);
        if (d.style == WalkieTiny)
            led(g, P(c.x, b.getBottom() - 8), 1.2f, juce::Colour(0xff3bd16f));
        else
            litBox(g, R(w - 10, 8).withCentre(P(c.x, b.getBottom() - 10)), second, 2);
        break;
    }
    litBox(g, R(3, 12).withCentre(P(b.getX() - 1, b.getY() + 16)), juce::Colour(0xff1a1a1c), 1); // press-to-talk
}

void cbRadio(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour();
    if (d.style == CbExternalSpeaker)
    {
        // An angled metal speaker box on its U bracket.
        g.setColour(juce::Colour(0xff8a8d93));
        g.drawLine(c.x - 30, c.y - 8, c.x - 30, c.y + 22, 2.4f);
        g.drawLine(c.x + 30, c.y - 8, c.x + 30, c.y + 22, 2.4f);
        g.drawLine(c.x - 30, c.y + 22, c.x + 30, c.y + 22, 2.4f);
        floorShadow(g, R(74, 8).withCentre(P(c.x, c.y + 26)));
        juce::Path box = polygon({P(c.x - 26, c.y - 22), P(c.x + 26, c.y - 22), P(c.x + 28, c.y + 16),
                                  P(c.x - 28, c.y + 16)});
        litPath(g, box, body, 0.4f);
        slotGrille(g, R(40, 28).withCentre(c.translated(0, -3)), body.darker(0.2f), 3.0f);
        for (const float x : {c.x - 30.0f, c.x + 30.0f})
            knob(g, P(x, c.y - 2), 3, juce::Colour(0xffc8ccd2));
        cord(g, P(c.x + 20, c.y + 16), P(a.getRight(), a.getBottom() - 2), 6, juce::Colour(0xff1a1a1c));
        return;
    }
    const bool modern = d.style == CbModern;
    const R b = R(modern ? 74.0f : 62.0f, modern ? 28.0f : 24.0f).withCentre(c.translated(-14, 2));
    floorShadow(g, R(b.getWidth() + 10, 8).withCentre(P(b.getCentreX(), b.getBottom())));
    litBox(g, b, body, 3, 0.4f);
    if (modern)
    {
        screen(g, R(b.getX() + 18, b.getY() + 5, 32, 14), juce::Colour(0xff1a0e04));
        digits(g, R(b.getX() + 20, b.getY() + 6, 28, 12), "19", d.trimColour());
        keys(g, R(b.getX() + 54, b.getY() + 5, 16, 18), 2, 3, juce::Colour(0xff4a4c52), 1.0f);
        knob(g, P(b.getX() + 9, b.getCentreY()), 5, juce::Colour(0xff4a4c52));
    }
    else
    {
        for (int i = 0; i < 3; ++i)
            knob(g, P(b.getX() + 10 + i * 14.0f, b.getCentreY() + 2), 4, d.trimColour());
        screen(g, R(b.getRight() - 18, b.getY() + 5, 12, 8), juce::Colour(0xffe0c070));
    }
    // The hand mic on its coiled cord.
    const P mic = c.translated(40, -8);
    cord(g, P(b.getRight() - 4, b.getBottom() - 4), mic.translated(0, 16), 10, juce::Colour(0xff1a1a1c), true, 1.0f);
    litBox(g, R(18, 30).withCentre(mic), juce::Colour(0xff1e1f22), 7);
    dotGrille(g, R(12, 12).withCentre(mic.translated(0, -5)), juce::Colour(0xff2a2b2e), 1.8f, true);
    litBox(g, R(3, 10).withCentre(mic.translated(-9, 4)), juce::Colour(0xff4a4c52), 1);
}

void babyMonitor(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const R b = R(40, 58).withCentre(P(c.x - 6, a.getBottom() - 32));
    floorShadow(g, R(52, 8).withCentre(P(b.getCentreX(), b.getBottom())));
    if (d.style == MonitorAnalog)
        antenna(g, P(b.getRight() - 6, b.getY() + 2), 30, 0.35f);
    litBox(g, b, d.bodyColour(), 12, 0.3f);
    if (d.style == MonitorAnalog)
    {
        dotGrille(g, R(26, 22).withCentre(P(b.getCentreX(), b.getY() + 18)), d.bodyColour().darker(0.12f), 2.4f, true);
        for (int i = 0; i < 5; ++i) // the row of sound lights
            led(g, P(b.getX() + 8 + i * 6.0f, b.getBottom() - 14), 1.3f,
                i < 3 ? d.trimColour() : (i == 3 ? juce::Colour(0xffffb23f) : juce::Colour(0xffff3a2a)));
    }
    else
    {
        screen(g, R(b.getX() + 6, b.getY() + 8, b.getWidth() - 12, 26), d.trimColour().darker(0.3f));
        // The sleeping baby on the colour screen: a little face and blanket.
        Style::fillSphere(g, R(10, 10).withCentre(P(b.getCentreX() - 4, b.getY() + 19)), juce::Colour(0xffe8c0a0));
        g.setColour(juce::Colour(0xffff9fc8));
        g.fillRoundedRectangle(R(b.getX() + 10, b.getY() + 23, 22, 8), 3);
        keys(g, R(b.getX() + 8, b.getBottom() - 18, b.getWidth() - 16, 8), 3, 1, juce::Colour(0xffc8ccd2), 2.0f, 3.0f);
        litBox(g, R(6, 6).withCentre(P(b.getRight() - 4, b.getY() + 2)), juce::Colour(0xffc8ccd2), 2);
    }
}

void intercom(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    if (d.style == IntercomWall)
    {
        // A small beige box on the wall: slotted grille and one "talk" bar.
        g.setColour(juce::Colour(0xff2a2c30));
        g.fillRect(a.expanded(6));
        const R b = R(52, 66).withCentre(c);
        g.setColour(juce::Colours::black.withAlpha(0.5f));
        g.fillRoundedRectangle(b.translated(3, 3), 4);
        litBox(g, b, d.bodyColour(), 4, 0.3f);
        slotGrille(g, R(b.getX() + 8, b.getY() + 8, b.getWidth() - 16, 30), d.bodyColour().darker(0.1f), 3.2f);
        litBox(g, R(b.getX() + 8, b.getBottom() - 20, b.getWidth() - 16, 10), d.trimColour(), 2, 0.4f);
        g.setColour(juce::Colours::white);
        g.setFont(Style::sans(8.0f, true));
        g.drawText("TALK", R(b.getX() + 8, b.getBottom() - 20, b.getWidth() - 16, 10), juce::Justification::centred);
        return;
    }
    // Tabletop: a wedge with a big talk button and an antenna stub.
    const R b = R(78, 44).withCentre(c.translated(0, 10));
    floorShadow(g, R(88, 8).withCentre(P(c.x, b.getBottom())));
    litPath(g, trapezoid(b, 6), d.bodyColour(), 0.3f);
    litBox(g, R(5, 12).withCentre(P(b.getRight() - 10, b.getY() - 5)), juce::Colour(0xff2a2b2e), 2);
    dotGrille(g, R(30, 26).withCentre(P(b.getX() + 24, b.getCentreY() + 2)), d.bodyColour().darker(0.1f), 2.6f, true);
    Style::fillSphere(g, R(24, 24).withCentre(P(b.getRight() - 22, b.getCentreY() + 2)), d.trimColour());
    led(g, P(b.getRight() - 8, b.getY() + 6), 1.0f, juce::Colour(0xff3bd16f));
}

void megaphone(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour(), rim = d.trimColour();
    const bool longBell = d.style == MegaphoneLong;
    const float back = c.x - (longBell ? 44.0f : 36.0f), mouth = c.x + (longBell ? 44.0f : 34.0f);
    const float bellR = longBell ? 26.0f : 24.0f;
    floorShadow(g, R(110, 10).withCentre(P(c.x, a.getBottom() - 3)));
    if (longBell) // shoulder strap
        cord(g, P(back + 14, c.y - 8), P(mouth - 20, c.y - bellR + 4), -24, juce::Colour(0xff1a1a1c), false, 2.0f);
    // The grip under the body with its trigger.
    juce::Path grip;
    grip.addRoundedRectangle(-5, 0, 10, 26, 4);
    grip.applyTransform(juce::AffineTransform::rotation(0.25f).translated(back + 18, c.y + 4));
    litPath(g, grip, d.style == MegaphoneTrigger ? juce::Colour(0xff2a2b2e) : body.darker(0.3f));
    g.setColour(juce::Colour(0xff1a1a1c));
    g.drawLine(back + 24, c.y + 8, back + 26, c.y + 16, 2.0f);
    // The horn: a cylinder at the back flaring to the bell.
    juce::Path horn = polygon({P(back, c.y - 8), P(back + 22, c.y - 9), P(mouth, c.y - bellR), P(mouth, c.y + bellR),
                               P(back + 22, c.y + 9), P(back, c.y + 8)});
    litPath(g, horn, body, 0.4f);
    litBox(g, R(14, 18).withCentre(P(back + 4, c.y)), body.darker(0.2f), 4);
    // The bell's mouth, seen a little from the side, with its white rim.
    juce::Path bell;
    bell.addEllipse(R(14, 2 * bellR + 2).withCentre(P(mouth, c.y)));
    litPath(g, bell, rim, 0.3f);
    g.setColour(rim.darker(0.6f));
    g.fillEllipse(R(8, 2 * bellR - 8).withCentre(P(mouth + 1, c.y)));
}
} // namespace Devices
