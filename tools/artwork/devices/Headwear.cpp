// What goes on or in the ears: headphones, earbuds, headsets and pillow speakers.
#include "devices/Families.h"

#include "Style.h"

#include <cmath>

namespace Devices
{
namespace
{
// A headband arc from the left cup to the right cup.
void band(juce::Graphics& g, P left, P right, float height, float thickness, juce::Colour c)
{
    juce::Path arc;
    arc.startNewSubPath(left);
    arc.cubicTo(left.x, left.y - height, right.x, right.y - height, right.x, right.y);
    juce::Path stroke;
    juce::PathStrokeType(thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded).createStrokedPath(stroke, arc);
    litPath(g, stroke, c, 0.4f);
}

// An ear cup seen from the side-front: outer shell and cushion.
void cup(juce::Graphics& g, P c, float w, float h, juce::Colour shell, juce::Colour cushion, bool grille)
{
    litEllipse(g, R(w + 5, h + 3).withCentre(c.translated(w * 0.25f, 0)), cushion, 0.25f);
    litEllipse(g, R(w, h).withCentre(c), shell, 0.45f);
    if (grille)
        dotGrille(g, R(w * 0.62f, h * 0.62f).withCentre(c), shell.brighter(0.2f), 1.8f, true);
}

void bud(juce::Graphics& g, P c, float r, juce::Colour colour, bool stem)
{
    if (stem)
        litBox(g, R(r * 0.7f, r * 2.6f).withCentre(c.translated(r * 0.3f, r * 1.5f)), colour, r * 0.35f);
    litEllipse(g, R(2 * r, 2 * r).withCentre(c), colour, 0.45f);
    g.setColour(juce::Colours::black.withAlpha(0.35f));
    g.fillEllipse(R(r, r).withCentre(c.translated(-r * 0.2f, -r * 0.1f)));
}
} // namespace

void headphones(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre().translated(0, 6);
    const juce::Colour shell = d.bodyColour(), second = d.trimColour();
    floorShadow(g, R(96, 10).withCentre(P(c.x, a.getBottom() - 4)));
    float spread = 36, cupW = 20, cupH = 30, bandH = 44, bandT = 5;
    bool grille = false;
    juce::Colour cushion = second, bandColour = shell;
    switch (d.style)
    {
    case PhonesPadded: cupW = 22; cupH = 34; bandT = 7; cushion = shell.darker(0.3f); break;
    case PhonesRetro: bandColour = juce::Colour(0xffd8dce2); bandT = 4; cushion = second; grille = true; break;
    case PhonesCanceling: cupW = 18; cupH = 30; bandT = 5; break;
    case PhonesStudioClosed: cupW = 21; cupH = 30; bandT = 6; break;
    case PhonesCool: spread = 30; cupW = 17; cupH = 22; bandH = 40; cushion = second; break;
    case PhonesPlain: spread = 32; cupW = 16; cupH = 22; bandT = 4; cushion = shell.darker(0.4f); break;
    case PhonesOpenBack: cupW = 21; cupH = 30; grille = true; cushion = juce::Colour(0xff3a3a3c); break;
    case PhonesIso: cupW = 24; cupH = 34; bandT = 6; cushion = shell.darker(0.5f); break;
    case PhonesDefender: cupW = 26; cupH = 36; bandT = 4; bandColour = juce::Colour(0xff2a2b2e); cushion = second; break;
    default: break;
    }
    const P left(c.x - spread, c.y + 2), right(c.x + spread, c.y + 2);
    band(g, left.translated(0, -cupH * 0.4f), right.translated(0, -cupH * 0.4f), bandH, bandT, bandColour);
    if (d.style == PhonesRetro) // the thick metal band's adjusters
        for (const P& p : {left, right})
            litBox(g, R(3, 14).withCentre(p.translated(0, -cupH * 0.6f)), juce::Colour(0xffe0e2e6), 1);
    cup(g, left, cupW, cupH, shell, cushion, grille);
    cup(g, right, cupW, cupH, shell, cushion, grille);
    switch (d.style)
    {
    case PhonesPadded:
    case PhonesStudioClosed:
        cord(g, left.translated(0, cupH * 0.5f), P(c.x + 6, a.getBottom() - 2), 4, juce::Colour(0xff1a1a1c), true, 1.0f);
        break;
    case PhonesCanceling: led(g, right.translated(3, 8), 1.2f, juce::Colour(0xff3ad0ff)); break;
    case PhonesCool:
        for (const P& p : {left, right})
        {
            g.setColour(second);
            g.fillEllipse(R(8, 8).withCentre(p));
            g.setColour(shell);
            g.fillEllipse(R(3, 3).withCentre(p));
        }
        break;
    case PhonesDefender:
        g.setColour(juce::Colours::black.withAlpha(0.5f));
        for (const P& p : {left, right})
            g.drawEllipse(R(cupW * 0.7f, cupH * 0.7f).withCentre(p), 1.0f);
        break;
    default: break;
    }
}

void earbuds(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour colour = d.bodyColour(), second = d.trimColour();
    switch (d.style)
    {
    case BudsCrystal:
    {
        // One beige crystal earpiece with its thin wire and plug.
        litBox(g, R(12, 20).withCentre(c.translated(-18, -8)), colour, 5);
        litBox(g, R(5, 8).withCentre(c.translated(-18, -22)), colour.darker(0.15f), 2);
        cord(g, c.translated(-18, 2), c.translated(30, 18), 14, juce::Colour(0xff3a3a3a), false, 1.0f);
        litBox(g, R(14, 4).withCentre(c.translated(36, 18)), juce::Colour(0xffc8ccd2), 1);
        return;
    }
    case BudsClips:
    {
        // Two clip-on earphones inside a sealed plastic bag.
        bud(g, c.translated(-14, -8), 8, colour, false);
        bud(g, c.translated(12, -4), 8, colour, false);
        for (const P& p : {c.translated(-14, -8), c.translated(12, -4)})
        {
            g.setColour(colour.brighter(0.3f));
            arc(g, R(p.x - 12, p.y - 14, 20, 22), -2.0f, 0.8f, 1.8f);
        }
        cord(g, c.translated(-14, 0), c.translated(4, 20), 6, colour, false, 1.0f);
        cord(g, c.translated(12, 4), c.translated(4, 20), 6, colour, false, 1.0f);
        const R bag = R(86, 62).withCentre(c.translated(0, 4));
        g.setColour(second.withAlpha(0.18f));
        g.fillRoundedRectangle(bag, 3);
        g.setColour(juce::Colours::white.withAlpha(0.45f));
        g.drawRoundedRectangle(bag, 3, 1.0f);
        g.setColour(juce::Colours::white.withAlpha(0.3f));
        g.fillRect(R(bag.getX(), bag.getY() + 3, bag.getWidth(), 2));
        g.drawLine(bag.getX() + 6, bag.getBottom() - 6, bag.getX() + 30, bag.getY() + 12, 2.0f);
        return;
    }
    case BudsWireless:
    {
        // An open charging case with two stem buds beside it.
        floorShadow(g, R(90, 10).withCentre(P(c.x, a.getBottom() - 8)));
        litBox(g, R(40, 30).withCentre(c.translated(-20, 10)), colour, 12, 0.2f);
        litBox(g, R(40, 14).withCentre(c.translated(-20, -12)), colour.darker(0.05f), 7, 0.2f);
        g.setColour(juce::Colours::black.withAlpha(0.25f));
        g.drawHorizontalLine(static_cast<int>(c.y - 4), c.x - 38, c.x - 2);
        led(g, c.translated(-20, 18), 1.0f, juce::Colour(0xff3bd16f));
        bud(g, c.translated(16, -6), 6, second, true);
        bud(g, c.translated(32, -2), 6, second, true);
        return;
    }
    default: break;
    }
    // A pair of wired buds: their cables join at a splitter and run on to a plug.
    const bool flat = d.style == BudsFlatCable;
    const float r = d.style == BudsTinny ? 6.0f : (d.style == BudsMonitors ? 8.0f : 7.0f);
    const P l = c.translated(-22, -16), rr = c.translated(d.style == BudsTangled ? 26.0f : 18.0f,
                                                          d.style == BudsTangled ? 14.0f : -18.0f);
    const juce::Colour wire = d.style == BudsMonitors ? juce::Colour(0xff8a8d93) : second;
    const P split = c.translated(-4, 14);
    cord(g, l.translated(0, r), split, 6, wire, false, flat ? 2.6f : 1.0f);
    cord(g, rr.translated(0, r), split, 8, wire, false, flat ? 2.6f : 1.0f);
    cord(g, split, c.translated(40, 26), 6, wire, false, flat ? 2.6f : 1.2f);
    litBox(g, R(10, 4).withCentre(c.translated(44, 26)), juce::Colour(0xffc8ccd2), 1);
    if (d.style == BudsTangled) // a knot in the thin cable
        for (int i = 0; i < 3; ++i)
        {
            g.setColour(wire);
            g.drawEllipse(R(9, 6).withCentre(c.translated(10 + i * 3.0f, 4 + i * 2.0f)), 1.0f);
        }
    if (d.style == BudsInEar) // the remote on the cable
        litBox(g, R(5, 12).withCentre(c.translated(16, 20)), colour, 2);
    const juce::Colour shell = d.style == BudsMonitors ? colour.withAlpha(0.7f) : colour;
    for (const P& p : {l, rr})
    {
        if (d.style == BudsInEar || d.style == BudsMonitors) // silicone tips
            litEllipse(g, R(r * 1.2f, r * 1.2f).withCentre(p.translated(-r * 0.7f, -r * 0.5f)), second, 0.2f);
        bud(g, p, r, shell, d.style == BudsNameless || d.style == BudsTangled);
        if (d.style == BudsTinny)
        {
            g.setColour(juce::Colours::white.withAlpha(0.9f));
            g.fillEllipse(R(2.5f, 2.5f).withCentre(p.translated(-r * 0.4f, -r * 0.5f)));
        }
        if (d.style == BudsMonitors) // the driver seen through the clear shell
        {
            g.setColour(juce::Colour(0xff2a2b2e));
            g.fillEllipse(R(r * 0.7f, r * 0.7f).withCentre(p));
        }
    }
}

void headset(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre().translated(0, 4);
    const juce::Colour body = d.bodyColour(), second = d.trimColour();
    floorShadow(g, R(90, 10).withCentre(P(c.x, a.getBottom() - 4)));
    switch (d.style)
    {
    case HeadsetGamer:
    {
        band(g, P(c.x - 36, c.y - 12), P(c.x + 36, c.y - 12), 38, 7, body);
        for (const float x : {c.x - 36.0f, c.x + 36.0f})
        {
            cup(g, P(x, c.y), 22, 32, body, juce::Colour(0xff2a2b2e), false);
            g.setColour(second);
            g.drawEllipse(R(14, 22).withCentre(P(x, c.y)), 2.0f);
        }
        juce::Path boom;
        boom.startNewSubPath(c.x - 36, c.y + 10);
        boom.quadraticTo(c.x - 30, c.y + 30, c.x - 6, c.y + 28);
        g.setColour(juce::Colour(0xff2a2b2e));
        g.strokePath(boom, juce::PathStrokeType(3.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        led(g, P(c.x - 5, c.y + 28), 1.5f, second);
        return;
    }
    case HeadsetOperator:
    {
        // A single earpiece on a steel band, and a horn mouthpiece on a bar over the chest.
        band(g, P(c.x - 30, c.y - 8), P(c.x + 26, c.y - 20), 40, 3, juce::Colour(0xffb8bcc2));
        litEllipse(g, R(18, 22).withCentre(P(c.x - 30, c.y - 4)), body);
        g.setColour(juce::Colour(0xffb8bcc2));
        g.drawLine(c.x - 30, c.y + 6, c.x - 6, c.y + 26, 2.0f);
        juce::Path horn = polygon({P(c.x - 8, c.y + 24), P(c.x + 10, c.y + 14), P(c.x + 14, c.y + 24)});
        litPath(g, horn, second);
        litEllipse(g, R(6, 12).withCentre(P(c.x + 12, c.y + 19)), second.darker(0.4f));
        cord(g, P(c.x - 6, c.y + 26), P(c.x + 40, a.getBottom() - 2), 6, juce::Colour(0xff6b5a3e));
        return;
    }
    default: break;
    }
    // One-ear headsets: band over the head, a pad on one side, a boom mic.
    const bool cheap = d.style == HeadsetCheap;
    band(g, P(c.x - 30, c.y - 6), P(c.x + 30, c.y - 6), 44, cheap ? 2.5f : 4.0f, body);
    litEllipse(g, R(cheap ? 20.0f : 16.0f, cheap ? 20.0f : 24.0f).withCentre(P(c.x - 30, c.y + 2)),
               cheap ? juce::Colour(0xff3a3a3c) : second.darker(0.5f), 0.15f);
    if (cheap) // foam
        for (int i = 0; i < 30; ++i)
        {
            g.setColour(juce::Colours::black.withAlpha(0.4f));
            g.fillRect(R(c.x - 38 + Style::hashNoise(i, 1, 4) * 16, c.y - 6 + Style::hashNoise(i, 2, 4) * 16, 1, 1));
        }
    litEllipse(g, R(8, 10).withCentre(P(c.x + 30, c.y - 2)), body);
    juce::Path boom;
    boom.startNewSubPath(c.x - 28, c.y + 8);
    boom.quadraticTo(c.x - 24, c.y + 26, cheap ? c.x - 6 : c.x + 4, c.y + 26);
    g.setColour(cheap ? body.brighter(0.2f) : second);
    g.strokePath(boom, juce::PathStrokeType(cheap ? 2.5f : 1.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    litEllipse(g, R(6, 5).withCentre(P(cheap ? c.x - 6 : c.x + 4, c.y + 26)), juce::Colour(0xff1a1a1c));
    cord(g, P(c.x - 30, c.y + 12), P(c.x + 44, a.getBottom() - 2), 8, juce::Colour(0xff2a2b2e), false, 1.2f);
}

void pillowSpeaker(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    if (d.style == 0)
    {
        floorShadow(g, R(60, 14).withCentre(c.translated(-8, 14)));
        litEllipse(g, R(54, 30).withCentre(c.translated(-8, 2)), d.bodyColour(), 0.4f);
        dotGrille(g, R(40, 20).withCentre(c.translated(-8, 1)), d.bodyColour().brighter(0.1f), 2.4f, true);
        cord(g, c.translated(18, 6), P(a.getRight() - 4, a.getBottom() - 6), 10, juce::Colour(0xff1a1a1c));
        return;
    }
    // The puck half hidden under a white pillow.
    floorShadow(g, R(110, 16).withCentre(c.translated(0, 18)));
    litEllipse(g, R(50, 26).withCentre(c.translated(-28, 16)), d.bodyColour(), 0.4f);
    juce::Path pillow;
    pillow.startNewSubPath(c.x - 30, c.y + 20);
    pillow.cubicTo(c.x - 40, c.y - 10, c.x - 30, c.y - 26, c.x, c.y - 20);
    pillow.cubicTo(c.x + 30, c.y - 26, c.x + 46, c.y - 16, c.x + 50, c.y + 2);
    pillow.cubicTo(c.x + 54, c.y + 20, c.x + 30, c.y + 24, c.x, c.y + 22);
    pillow.closeSubPath();
    litPath(g, pillow, d.trimColour(), 0.25f);
    g.setColour(juce::Colours::black.withAlpha(0.12f));
    g.drawLine(c.x - 10, c.y - 8, c.x + 24, c.y + 6, 1.2f);
    cord(g, c.translated(-44, 20), P(a.getX() + 2, a.getBottom() - 2), 6, juce::Colour(0xff1a1a1c));
}
} // namespace Devices
