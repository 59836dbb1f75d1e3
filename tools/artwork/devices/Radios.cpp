// Radios and tape players: tube radios and their valves, portables, transistor radios, the
// globe radio, clock radios, alarm clocks, boomboxes and cassette players.
#include "devices/Families.h"

#include "Style.h"

#include <cmath>

namespace Devices
{
namespace
{
// A round tuning dial with a scale and a needle.
void roundDial(juce::Graphics& g, P c, float r, juce::Colour face)
{
    litEllipse(g, R(2 * r + 3, 2 * r + 3).withCentre(c), juce::Colour(0xffc8ccd2), 0.5f);
    g.setColour(face);
    g.fillEllipse(R(2 * r, 2 * r).withCentre(c));
    g.setColour(juce::Colour(0xff3a2a10));
    for (int i = 0; i < 12; ++i)
    {
        const float a = -2.2f + i * 0.4f;
        const P dir(std::sin(a), -std::cos(a));
        g.drawLine(juce::Line<float>(c + dir * (r * 0.7f), c + dir * (r * 0.92f)), 0.6f);
    }
    g.setColour(juce::Colour(0xffc8281a));
    g.drawLine(juce::Line<float>(c, c + P(std::sin(0.5f), -std::cos(0.5f)) * (r * 0.9f)), 1.0f);
}

// A cassette seen through a window: two reels.
void cassette(juce::Graphics& g, R r)
{
    screen(g, r, juce::Colour(0xff3a3632));
    for (const float x : {r.getX() + r.getWidth() * 0.3f, r.getX() + r.getWidth() * 0.7f})
    {
        g.setColour(juce::Colour(0xffe8e8e4));
        g.fillEllipse(R(r.getHeight() * 0.5f, r.getHeight() * 0.5f).withCentre(P(x, r.getCentreY())));
        g.setColour(juce::Colour(0xff2a2a2a));
        g.fillEllipse(R(r.getHeight() * 0.22f, r.getHeight() * 0.22f).withCentre(P(x, r.getCentreY())));
    }
}
} // namespace

void tubeRadio(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour wood = d.bodyColour(), cloth = d.trimColour();
    floorShadow(g, R(76, 8).withCentre(P(c.x, a.getBottom() - 2)));
    juce::Path shell;
    if (d.style == TubeCathedral)
    {
        shell.startNewSubPath(c.x - 32, a.getBottom() - 3);
        shell.lineTo(c.x - 32, c.y - 6);
        shell.cubicTo(c.x - 32, a.getY() - 10, c.x + 32, a.getY() - 10, c.x + 32, c.y - 6);
        shell.lineTo(c.x + 32, a.getBottom() - 3);
        shell.closeSubPath();
    }
    else
    {
        shell.startNewSubPath(c.x - 30, a.getBottom() - 3);
        shell.lineTo(c.x - 30, a.getY() + 14);
        shell.quadraticTo(c.x - 30, a.getY(), c.x - 14, a.getY());
        shell.lineTo(c.x + 14, a.getY());
        shell.quadraticTo(c.x + 30, a.getY(), c.x + 30, a.getY() + 14);
        shell.lineTo(c.x + 30, a.getBottom() - 3);
        shell.closeSubPath();
    }
    litPath(g, shell, wood, 0.4f);
    g.setColour(wood.darker(0.5f).withAlpha(0.4f));
    for (int i = 0; i < 14; ++i)
        g.drawLine(c.x - 28 + i * 4.0f, a.getY() + 4, c.x - 27 + i * 4.0f, a.getBottom() - 4, 0.4f);
    if (d.style == TubeCathedral)
    {
        // Gothic-arched cloth grille behind wooden fretwork.
        juce::Path arch;
        arch.startNewSubPath(c.x - 20, c.y + 10);
        arch.lineTo(c.x - 20, c.y - 8);
        arch.quadraticTo(c.x - 20, a.getY() + 8, c.x, a.getY() + 4);
        arch.quadraticTo(c.x + 20, a.getY() + 8, c.x + 20, c.y - 8);
        arch.lineTo(c.x + 20, c.y + 10);
        arch.closeSubPath();
        g.setColour(cloth);
        g.fillPath(arch);
        g.setColour(wood.darker(0.2f));
        for (const float x : {c.x - 10.0f, c.x, c.x + 10.0f})
            g.drawLine(x, a.getY() + 8, x, c.y + 10, 2.4f);
        g.strokePath(arch, juce::PathStrokeType(2.0f));
        g.setColour(juce::Colour(0xffe8c070));
        g.fillRoundedRectangle(R(22, 6).withCentre(P(c.x, c.y + 18)), 2);
        for (const float x : {c.x - 18.0f, c.x + 18.0f})
            knob(g, P(x, c.y + 28), 4, wood.darker(0.5f));
    }
    else
    {
        // Tombstone: round dial above, cloth grille below.
        roundDial(g, P(c.x, a.getY() + 18), 10, juce::Colour(0xffe8d098));
        clothGrille(g, R(40, 28).withCentre(P(c.x, c.y + 12)), cloth, 4);
        for (const float x : {c.x - 20.0f, c.x + 20.0f})
            knob(g, P(x, a.getBottom() - 9), 4, wood.darker(0.5f));
    }
}

void valve(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const int count = d.style;
    const float scale = d.size;
    for (int i = 0; i < count; ++i)
    {
        const float x = c.x + (count == 1 ? 0.0f : (i == 0 ? -20.0f : 20.0f));
        const float h = 66 * scale, w = 26 * scale;
        const float bottom = a.getBottom() - 2;
        floorShadow(g, R(w + 10, 6).withCentre(P(x, bottom)));
        litBox(g, R(w + 2, 12 * scale).withCentre(P(x, bottom - 6 * scale)), juce::Colour(0xff2a2420), 2);
        const R glass(x - w / 2, bottom - h, w, h - 10 * scale);
        const bool glowing = i == 0;
        if (glowing)
        {
            juce::ColourGradient glow(d.trimColour().withAlpha(0.55f), x, glass.getCentreY() + 6, d.trimColour().withAlpha(0.0f),
                                      x + w, glass.getCentreY(), true);
            g.setGradientFill(glow);
            g.fillEllipse(glass.expanded(8));
        }
        // Electrodes inside the glass.
        g.setColour(juce::Colour(0xff6a6c70));
        g.fillRect(R(w * 0.5f, h * 0.4f).withCentre(P(x, glass.getCentreY() + 4)));
        g.setColour(juce::Colour(0xff9a9ca0));
        g.drawRect(R(w * 0.6f, h * 0.44f).withCentre(P(x, glass.getCentreY() + 4)), 0.8f);
        if (glowing)
        {
            g.setColour(d.trimColour().brighter(0.3f));
            g.drawLine(x - 2, glass.getCentreY() - 4, x - 2, glass.getCentreY() + 12, 1.4f);
            g.drawLine(x + 2, glass.getCentreY() - 4, x + 2, glass.getCentreY() + 12, 1.4f);
        }
        // The glass envelope with its rounded top and a highlight.
        juce::Path envelope;
        envelope.addRoundedRectangle(glass, w * 0.45f);
        g.setColour(d.bodyColour().withAlpha(0.22f));
        g.fillPath(envelope);
        g.setColour(juce::Colours::white.withAlpha(0.55f));
        g.strokePath(envelope, juce::PathStrokeType(0.8f));
        g.drawLine(glass.getX() + 4, glass.getY() + 8, glass.getX() + 4, glass.getBottom() - 6, 1.4f);
    }
}

void portableRadio(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    if (d.style == PortableEmergency)
    {
        const R b = R(80, 46).withCentre(c.translated(-2, 8));
        floorShadow(g, R(94, 8).withCentre(P(c.x, b.getBottom())));
        litBox(g, b, d.bodyColour(), 6, 0.4f);
        screen(g, R(b.getX() + 6, b.getY() - 8, 40, 10), juce::Colour(0xff2a3a5a)); // solar panel
        g.setColour(juce::Colour(0xff6a8ac0));
        for (int i = 1; i < 5; ++i)
            g.drawVerticalLine(static_cast<int>(b.getX() + 6 + i * 8), b.getY() - 8, b.getY() + 2);
        dotGrille(g, R(b.getX() + 6, b.getY() + 6, 34, 32), d.trimColour(), 2.2f);
        screen(g, R(b.getX() + 46, b.getY() + 8, 28, 10), juce::Colour(0xffb8c8a0));
        knob(g, P(b.getX() + 60, b.getY() + 30), 5, d.trimColour());
        // The crank on the side and the torch at the front end.
        g.setColour(juce::Colour(0xff2a2b2e));
        g.drawLine(b.getRight(), b.getCentreY(), b.getRight() + 8, b.getCentreY() - 10, 3.0f);
        litBox(g, R(4, 8).withCentre(P(b.getRight() + 9, b.getCentreY() - 12)), juce::Colour(0xff2a2b2e), 1.5f);
        litEllipse(g, R(10, 16).withCentre(P(b.getX() - 2, b.getCentreY())), juce::Colour(0xfff0f0e0));
        return;
    }
    // Leather-cased portable: handle, a big round dial, grille.
    const R b = R(78, 52).withCentre(c.translated(0, 8));
    floorShadow(g, R(90, 8).withCentre(P(c.x, b.getBottom())));
    juce::Path handle;
    handle.addRoundedRectangle(c.x - 26, b.getY() - 16, 52, 20, 8);
    g.setColour(d.bodyColour().darker(0.3f));
    g.strokePath(handle, juce::PathStrokeType(4.0f));
    litBox(g, b, d.bodyColour(), 6, 0.35f);
    g.setColour(juce::Colours::white.withAlpha(0.25f));
    g.drawRoundedRectangle(b.reduced(2.5f), 5, 0.6f); // stitching
    clothGrille(g, R(b.getX() + 6, b.getY() + 6, 34, b.getHeight() - 12), d.trimColour(), 3);
    roundDial(g, P(b.getRight() - 20, b.getCentreY()), 14, juce::Colour(0xffe8d8a8));
}

void transistorRadio(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const float s = d.size;
    const R b = R(46 * s, 66 * s).withCentre(c);
    floorShadow(g, R(56 * s, 8).withCentre(P(c.x, b.getBottom())));
    if (d.style == 1) // leather strap
        cord(g, P(b.getRight() - 4, b.getY() + 4), P(b.getRight() + 14, b.getBottom() - 8), 10, d.trimColour(), false, 3.0f);
    litBox(g, b, d.bodyColour(), 5 * s, 0.45f);
    const juce::Colour face = d.style == 2 ? d.trimColour() : juce::Colour(0xffd8dce2);
    if (d.style == 2) // white dial across the top
        roundDial(g, P(c.x, b.getY() + 14 * s), 9 * s, face);
    else
        screen(g, R(b.getX() + 5, b.getY() + 5, b.getWidth() - 10, 8 * s), juce::Colour(0xffe8d8a8));
    dotGrille(g, R(34 * s, 34 * s).withCentre(P(c.x, b.getBottom() - 22 * s)), d.bodyColour().brighter(0.25f), 2.4f, true);
    // The thumb wheel on the side.
    litBox(g, R(5, 14 * s).withCentre(P(b.getRight() + 1, b.getY() + 24 * s)), juce::Colour(0xffb8bcc2), 2);
}

void globeRadio(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre().translated(0, -4);
    floorShadow(g, R(44, 8).withCentre(P(c.x, a.getBottom() - 2)));
    litEllipse(g, R(36, 8).withCentre(P(c.x, a.getBottom() - 5)), juce::Colour(0xff2a2b2e));
    g.setColour(juce::Colour(0xffc9a24a));
    g.drawLine(c.x, c.y + 28, c.x, a.getBottom() - 6, 3.0f);
    Style::fillSphere(g, R(58, 58).withCentre(c), d.bodyColour());
    // Continents.
    g.setColour(d.trimColour());
    juce::Path land;
    land.addEllipse(c.x - 16, c.y - 18, 14, 20);
    land.addEllipse(c.x + 2, c.y - 10, 18, 12);
    land.addEllipse(c.x - 6, c.y + 6, 10, 14);
    g.fillPath(land);
    Style::fillSphere(g, R(58, 58).withCentre(c), juce::Colours::transparentBlack);
    g.setColour(juce::Colour(0xffc9a24a));
    g.drawEllipse(R(64, 64).withCentre(c), 1.6f); // the meridian ring
    knob(g, c.translated(26, 22), 4, juce::Colour(0xffc9a24a));
    dotGrille(g, R(16, 10).withCentre(c.translated(-2, 18)), juce::Colour(0xffc9a24a), 1.8f);
}

void clockRadio(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const R b = R(100, 44).withCentre(c.translated(0, 8));
    floorShadow(g, R(110, 8).withCentre(P(c.x, b.getBottom())));
    litPath(g, trapezoid(b, 4), d.bodyColour());
    screen(g, R(b.getX() + 8, b.getY() + 8, 52, 26), juce::Colour(0xff1a0a08));
    digits(g, R(b.getX() + 10, b.getY() + 11, 48, 20), "12:00", d.trimColour());
    slotGrille(g, R(b.getRight() - 36, b.getY() + 6, 30, 30), d.bodyColour().brighter(0.2f), 3.0f);
    for (int i = 0; i < 4; ++i)
        litBox(g, R(b.getX() + 14 + i * 18, b.getY() - 4, 12, 4), juce::Colour(0xff5a5c62), 1);
}

void alarmClock(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    if (d.style == ClockCube)
    {
        const R b = R(50, 50).withCentre(c.translated(-4, 4));
        floorShadow(g, R(62, 8).withCentre(P(c.x, b.getBottom())));
        juce::Path side; // the right face for the cube's depth
        side.startNewSubPath(b.getRight(), b.getY());
        side.lineTo(b.getRight() + 12, b.getY() - 8);
        side.lineTo(b.getRight() + 12, b.getBottom() - 8);
        side.lineTo(b.getRight(), b.getBottom());
        side.closeSubPath();
        side.startNewSubPath(b.getX(), b.getY());
        side.lineTo(b.getX() + 12, b.getY() - 8);
        side.lineTo(b.getRight() + 12, b.getY() - 8);
        side.lineTo(b.getRight(), b.getY());
        side.closeSubPath();
        litPath(g, side, d.bodyColour().darker(0.25f));
        litBox(g, b, d.bodyColour(), 3);
        screen(g, b.reduced(6, 14), juce::Colour(0xff0a1a22));
        digits(g, b.reduced(8, 17), "7:30", d.trimColour());
        return;
    }
    // With a small speaker on each side.
    const R b = R(54, 40).withCentre(c.translated(0, 8));
    floorShadow(g, R(116, 8).withCentre(P(c.x, b.getBottom())));
    for (const float x : {b.getX() - 18.0f, b.getRight() + 18.0f})
    {
        litBox(g, R(28, 36).withCentre(P(x, b.getCentreY() + 2)), d.bodyColour().brighter(0.1f), 4);
        cone(g, P(x, b.getCentreY() + 2), 10);
    }
    litBox(g, b, d.bodyColour(), 4);
    screen(g, b.reduced(5, 9), juce::Colour(0xff1a0a08));
    digits(g, b.reduced(7, 12), "6:45", d.trimColour());
}

void boombox(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour(), second = d.trimColour();
    const float w = (d.style == BoomMono ? 80.0f : 118.0f) * (d.style == BoomStereoTwin ? 1.0f : 1.0f);
    const float h = d.style == BoomMono ? 48.0f : 52.0f;
    const R b = R(w, h).withCentre(c.translated(0, 10));
    floorShadow(g, R(w + 8, 8).withCentre(P(c.x, b.getBottom())));
    // Carry handle, and the AM set's telescopic antenna.
    juce::Path handle;
    handle.addRoundedRectangle(c.x - w * 0.3f, b.getY() - 12, w * 0.6f, 16, 6);
    g.setColour(d.style == BoomSilver ? juce::Colour(0xffd8dce2) : juce::Colour(0xff1a1a1c));
    g.strokePath(handle, juce::PathStrokeType(3.0f));
    if (d.style == BoomAm)
        antenna(g, P(b.getRight() - 8, b.getY()), 40, 0.5f);
    litBox(g, b, body, 6, 0.35f);
    const float coneR = d.style == BoomStereoTwin ? 20.0f : (d.style == BoomMono ? 16.0f : 17.0f);
    const juce::Colour ring = d.style == BoomBlackEq ? juce::Colour(0xffd8dce2) : juce::Colour(0xff151516);
    switch (d.style)
    {
    case BoomMono:
        cone(g, P(b.getX() + 22, b.getCentreY() + 2), coneR, juce::Colour(0xff2a2a2c), ring);
        cassette(g, R(b.getX() + 44, b.getY() + 14, 30, 18));
        break;
    case BoomAm:
        clothGrille(g, R(b.getX() + 6, b.getY() + 8, 56, h - 16), second, 3);
        roundDial(g, P(b.getRight() - 26, b.getCentreY() + 2), 15, juce::Colour(0xffe8d8a8));
        break;
    case BoomStereoTwin:
        cone(g, P(b.getX() + 24, b.getCentreY() + 2), coneR, juce::Colour(0xff2a2a2c), ring);
        cone(g, P(b.getRight() - 24, b.getCentreY() + 2), coneR, juce::Colour(0xff2a2a2c), ring);
        cassette(g, R(c.x - 25, b.getY() + 14, 24, 16));
        cassette(g, R(c.x + 1, b.getY() + 14, 24, 16));
        keys(g, R(c.x - 24, b.getY() + 34, 48, 6), 8, 1, second, 1.0f);
        break;
    default:
        cone(g, P(b.getX() + 24, b.getCentreY() + 2), coneR, juce::Colour(0xff2a2a2c), ring);
        cone(g, P(b.getRight() - 24, b.getCentreY() + 2), coneR, juce::Colour(0xff2a2a2c), ring);
        cassette(g, R(c.x - 16, b.getY() + 16, 32, 20));
        if (d.style == BoomBlackEq) // equaliser sliders along the top
            for (int i = 0; i < 7; ++i)
            {
                const float x = c.x - 15 + i * 5.0f;
                g.setColour(juce::Colours::black);
                g.drawVerticalLine(static_cast<int>(x), b.getY() + 4, b.getY() + 13);
                litBox(g, R(3, 2).withCentre(P(x, b.getY() + 5 + (i * 37 % 7))), second, 0.5f);
            }
        else
            screen(g, R(c.x - 16, b.getY() + 5, 32, 7), juce::Colour(0xffe8d8a8));
        break;
    }
}

void tapePlayer(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    if (d.style == TapePersonal)
    {
        // Personal cassette player with its headphone cable and belt clip.
        const R b = R(56, 40).withCentre(c.translated(-12, 2));
        floorShadow(g, R(64, 8).withCentre(P(b.getCentreX(), b.getBottom())));
        litBox(g, R(6, 30).withCentre(P(b.getRight() + 2, b.getCentreY())), juce::Colour(0xff8a8d93), 2); // clip
        litBox(g, b, d.bodyColour(), 4);
        cassette(g, b.reduced(7, 8));
        keys(g, R(b.getX() + 6, b.getY() - 4, 30, 4), 4, 1, d.trimColour(), 1.0f);
        cord(g, P(b.getRight() - 6, b.getY()), P(a.getRight() - 4, a.getY() + 6), -4, juce::Colour(0xff1a1a1c));
        litEllipse(g, R(14, 18).withCentre(P(a.getRight() - 10, a.getY() + 12)), juce::Colour(0xffe0a030)); // foam pad
        return;
    }
    // Shoebox recorder: piano keys along the front, a handle, speaker and cassette door on top.
    const R b = R(100, 42).withCentre(c.translated(0, 10));
    floorShadow(g, R(110, 8).withCentre(P(c.x, b.getBottom())));
    litBox(g, b, d.bodyColour(), 4);
    juce::Path handle;
    handle.addRoundedRectangle(b.getX() + 4, b.getY() - 10, 40, 12, 4);
    g.setColour(juce::Colour(0xff1a1a1c));
    g.strokePath(handle, juce::PathStrokeType(2.6f));
    slotGrille(g, R(b.getX() + 6, b.getY() + 6, 42, 20), d.bodyColour().brighter(0.2f), 2.5f);
    cassette(g, R(b.getX() + 54, b.getY() + 6, 40, 20));
    for (int i = 0; i < 6; ++i) // piano keys
        litBox(g, R(b.getX() + 8 + i * 14.5f, b.getBottom() - 13, 12, 9), d.trimColour(), 1.5f);
}
} // namespace Devices
