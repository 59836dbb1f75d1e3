// Televisions from tiny CRTs to wall-mounted flat panels, the portable DVD player and the
// camcorder.
#include "devices/Families.h"

#include "Style.h"

namespace Devices
{
namespace
{
// A picture on the screen: a sky, hills and a sun, so that the set reads as switched on.
void picture(juce::Graphics& g, R s, bool colour, float corner)
{
    juce::Graphics::ScopedSaveState state(g);
    juce::Path clip;
    clip.addRoundedRectangle(s, corner);
    g.reduceClipRegion(clip);
    const juce::Colour sky = colour ? juce::Colour(0xff6fb3e8) : juce::Colour(0xffb8c0c0);
    const juce::Colour hill = colour ? juce::Colour(0xff3f9c4a) : juce::Colour(0xff6a7070);
    juce::ColourGradient fill(sky.brighter(0.2f), s.getX(), s.getY(), sky.darker(0.2f), s.getX(), s.getBottom(), false);
    g.setGradientFill(fill);
    g.fillRect(s);
    juce::Path hills;
    hills.startNewSubPath(s.getX(), s.getBottom());
    hills.lineTo(s.getX(), s.getY() + s.getHeight() * 0.7f);
    hills.quadraticTo(s.getX() + s.getWidth() * 0.3f, s.getY() + s.getHeight() * 0.4f, s.getCentreX(),
                      s.getY() + s.getHeight() * 0.68f);
    hills.quadraticTo(s.getX() + s.getWidth() * 0.75f, s.getY() + s.getHeight() * 0.5f, s.getRight(),
                      s.getY() + s.getHeight() * 0.62f);
    hills.lineTo(s.getRight(), s.getBottom());
    hills.closeSubPath();
    g.setColour(hill);
    g.fillPath(hills);
    g.setColour(colour ? juce::Colour(0xfff2d04a) : juce::Colour(0xffe8eeee));
    g.fillEllipse(R(s.getHeight() * 0.22f, s.getHeight() * 0.22f).withCentre(P(s.getRight() - s.getWidth() * 0.25f,
                                                                                 s.getY() + s.getHeight() * 0.28f)));
    juce::ColourGradient glass(juce::Colours::white.withAlpha(0.25f), s.getX(), s.getY(), juce::Colours::white.withAlpha(0.0f),
                               s.getCentreX(), s.getCentreY(), false);
    g.setGradientFill(glass);
    g.fillRect(s);
}
} // namespace

void television(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour();
    switch (d.style)
    {
    case TvTinyCrt:
    {
        const R b = R(54, 46).withCentre(c.translated(0, 10));
        antenna(g, P(c.x - 2, b.getY()), 34, -0.5f);
        antenna(g, P(c.x + 2, b.getY()), 34, 0.5f);
        floorShadow(g, R(64, 8).withCentre(P(c.x, b.getBottom())));
        litBox(g, b, body, 6);
        picture(g, R(b.getX() + 5, b.getY() + 5, 34, 30), false, 7);
        for (int i = 0; i < 2; ++i)
            knob(g, P(b.getRight() - 7, b.getY() + 10 + i * 12), 3, juce::Colour(0xffb8bcc2));
        dotGrille(g, R(8, 8).withCentre(P(b.getRight() - 7, b.getBottom() - 8)), body.brighter(0.2f), 1.6f);
        break;
    }
    case TvWoodColour:
    {
        const R b = R(74, 54).withCentre(c.translated(0, 4));
        floorShadow(g, R(84, 8).withCentre(P(c.x, b.getBottom())));
        woodGrain(g, b, body, 5);
        litBox(g, R(b.getX() + 4, b.getY() + 4, 50, 46), juce::Colour(0xff2a2b2e), 5);
        picture(g, R(b.getX() + 8, b.getY() + 8, 42, 38), true, 8);
        for (int i = 0; i < 2; ++i)
            knob(g, P(b.getRight() - 10, b.getY() + 14 + i * 16), 5, d.trimColour());
        break;
    }
    case TvFlatStand:
    case TvWidescreen:
    {
        const bool wide = d.style == TvWidescreen;
        const R b = wide ? R(118, 56).withCentre(c.translated(0, -6)) : R(96, 58).withCentre(c.translated(0, -6));
        floorShadow(g, R(wide ? 110.0f : 60.0f, 8).withCentre(P(c.x, a.getBottom() - 2)));
        if (!wide)
        {
            litBox(g, R(6, 12).withCentre(P(c.x, b.getBottom() + 5)), juce::Colour(0xff2a2b2e), 1);
            litBox(g, R(44, 4).withCentre(P(c.x, a.getBottom() - 3)), juce::Colour(0xff2a2b2e), 2);
        }
        litBox(g, b, body, 2);
        picture(g, b.reduced(3), true, 1);
        if (wide) // the soundbar below
        {
            litBox(g, R(100, 7).withCentre(P(c.x, a.getBottom() - 5)), juce::Colour(0xff1a1b1d), 3);
            dotGrille(g, R(92, 4).withCentre(P(c.x, a.getBottom() - 5)), juce::Colour(0xff2a2b2e), 1.5f);
        }
        break;
    }
    case TvFlatWall:
    {
        // Hung on a wall: a plaster wall behind and the panel's thin shadow.
        g.setColour(juce::Colour(0xff2a2c30));
        g.fillRect(a.expanded(6));
        const R b = R(122, 70).withCentre(c);
        g.setColour(juce::Colours::black.withAlpha(0.5f));
        g.fillRect(b.translated(3, 3));
        litBox(g, b, body, 1);
        picture(g, b.reduced(2.5f), true, 0.5f);
        led(g, P(b.getRight() - 4, b.getBottom() - 1.5f), 0.8f, juce::Colour(0xffff3a2a));
        break;
    }
    case TvConsole:
    {
        // Wooden console on legs with a curved screen and a speaker cloth beside it.
        const R b = R(104, 52).withCentre(c.translated(0, -4));
        for (const float x : {b.getX() + 10, b.getRight() - 10})
        {
            g.setColour(body.darker(0.4f));
            g.drawLine(x, b.getBottom(), x + (x < c.x ? -4.0f : 4.0f), a.getBottom(), 3.0f);
        }
        floorShadow(g, R(110, 6).withCentre(P(c.x, a.getBottom())));
        woodGrain(g, b, body, 4);
        litBox(g, R(b.getX() + 6, b.getY() + 5, 58, 42), juce::Colour(0xff1a1a1a), 8);
        picture(g, R(b.getX() + 9, b.getY() + 8, 52, 36), false, 10);
        clothGrille(g, R(b.getX() + 70, b.getY() + 6, 28, 28), d.trimColour(), 2);
        knob(g, P(b.getX() + 78, b.getBottom() - 8), 3.5f, juce::Colour(0xffc9a24a));
        knob(g, P(b.getX() + 90, b.getBottom() - 8), 3.5f, juce::Colour(0xffc9a24a));
        break;
    }
    case TvLargeCrt:
    default:
    {
        // Deep heavy CRT: the box's depth shows on the right, speakers beside the screen.
        const R b = R(96, 64).withCentre(c.translated(-6, 4));
        floorShadow(g, R(118, 8).withCentre(P(c.x, b.getBottom())));
        juce::Path depth = polygon({P(b.getRight(), b.getY() + 2), P(b.getRight() + 16, b.getY() + 10),
                                    P(b.getRight() + 16, b.getBottom() - 8), P(b.getRight(), b.getBottom())});
        litPath(g, depth, body.darker(0.35f));
        litBox(g, b, body, 5);
        picture(g, R(b.getX() + 16, b.getY() + 6, 64, 48), true, 9);
        for (const float x : {b.getX() + 8, b.getRight() - 8})
            slotGrille(g, R(8, 40).withCentre(P(x, b.getCentreY() - 2)), body.brighter(0.15f), 2.5f);
        led(g, P(b.getCentreX(), b.getBottom() - 5), 1.0f, juce::Colour(0xff3bd16f));
        break;
    }
    }
}

void dvdPlayer(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(100, 10).withCentre(P(c.x, a.getBottom() - 4)));
    // The base with its disc lid, seen from above at a slant.
    juce::Path base = polygon({P(c.x - 46, a.getBottom() - 6), P(c.x - 36, c.y + 6), P(c.x + 36, c.y + 6),
                               P(c.x + 46, a.getBottom() - 6)});
    litPath(g, base, d.bodyColour());
    g.setColour(d.bodyColour().brighter(0.25f));
    g.drawEllipse(R(34, 12).withCentre(P(c.x, c.y + 19)), 1.0f);
    g.fillEllipse(R(6, 3).withCentre(P(c.x, c.y + 19)));
    // The open screen standing up behind it.
    const R lid = R(76, 44).withCentre(c.translated(0, -15));
    litBox(g, lid, d.bodyColour(), 3);
    picture(g, lid.reduced(5, 4), true, 1);
}

void camcorder(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(90, 10).withCentre(P(c.x, a.getBottom() - 6)));
    const R b = R(66, 36).withCentre(c.translated(-6, 6));
    litBox(g, b, d.bodyColour(), 8, 0.4f);
    // The lens barrel pointing left, its glass catching the light.
    litBox(g, R(20, 26).withCentre(P(b.getX() - 6, b.getCentreY())), d.bodyColour().darker(0.2f), 4);
    litEllipse(g, R(10, 22).withCentre(P(b.getX() - 16, b.getCentreY())), juce::Colour(0xff101014), 0.2f);
    g.setColour(juce::Colour(0xff5a7ac8).withAlpha(0.7f));
    g.fillEllipse(R(5, 12).withCentre(P(b.getX() - 16, b.getCentreY() - 2)));
    // The flip-out screen on the side, open.
    juce::Path flip = polygon({P(b.getRight() - 4, b.getY() + 4), P(b.getRight() + 24, b.getY() - 4),
                               P(b.getRight() + 24, b.getBottom() - 10), P(b.getRight() - 4, b.getBottom() - 4)});
    litPath(g, flip, d.trimColour());
    juce::Path glass = polygon({P(b.getRight() - 1, b.getY() + 7), P(b.getRight() + 21, b.getY() + 1),
                                P(b.getRight() + 21, b.getBottom() - 13), P(b.getRight() - 1, b.getBottom() - 7)});
    g.setColour(juce::Colour(0xff4a8ac8));
    g.fillPath(glass);
    led(g, P(b.getX() + 8, b.getY() + 6), 1.2f, juce::Colour(0xffff3a2a));
    litBox(g, R(18, 6).withCentre(P(b.getCentreX() + 6, b.getY() - 2)), d.bodyColour().brighter(0.1f), 2);
}
} // namespace Devices
