// Telephones: desk phones of every age, the candlestick, wall phones, lone handsets,
// cordless phones, the conference phone, the fax and the answering machine.
#include "devices/Families.h"

#include "Style.h"

#include <cmath>

namespace Devices
{
namespace
{
// The dial or keys on a desk phone's front.
void rotaryDial(juce::Graphics& g, P c, float r, juce::Colour body, bool fingerHoles)
{
    litEllipse(g, R(2 * r, 2 * r).withCentre(c), body.brighter(0.15f));
    g.setColour(juce::Colours::black.withAlpha(0.5f));
    g.drawEllipse(R(2 * r, 2 * r).withCentre(c), 0.8f);
    const int holes = fingerHoles ? 10 : 12;
    for (int i = 0; i < holes; ++i)
    {
        const float a = juce::degreesToRadians(-60.0f + (fingerHoles ? 27.0f : 30.0f) * i);
        const P h = c + P(std::sin(a), -std::cos(a)) * (r * 0.68f);
        if (fingerHoles)
        {
            g.setColour(juce::Colour(0xffe8e4d8));
            g.fillEllipse(R(r * 0.36f, r * 0.36f).withCentre(h));
            g.setColour(juce::Colours::black.withAlpha(0.6f));
            g.drawEllipse(R(r * 0.36f, r * 0.36f).withCentre(h), 0.6f);
        }
        else
            litEllipse(g, R(r * 0.3f, r * 0.3f).withCentre(h), juce::Colour(0xfff2efe6));
    }
    g.setColour(juce::Colour(0xfff2efe6));
    g.fillEllipse(R(r * 0.6f, r * 0.6f).withCentre(c));
    if (fingerHoles) // finger stop
    {
        g.setColour(juce::Colour(0xffc0c0c4));
        g.drawLine(juce::Line<float>(c + P(r * 0.65f, r * 0.45f), c + P(r * 1.0f, r * 0.7f)), 1.4f);
    }
}

// The body of a desk phone: a wedge seen a little from above, front face below the top.
R deskBody(juce::Graphics& g, R a, float w, float h, juce::Colour body, float roundness)
{
    const P c = a.getCentre();
    const float bottom = a.getBottom() - 6.0f;
    floorShadow(g, R(w * 1.1f, 8.0f).withCentre(P(c.x, bottom)));
    juce::Path p;
    p.addRoundedRectangle(c.x - w / 2, bottom - h, w, h, roundness);
    litPath(g, p, body);
    // Top face: lighter band.
    juce::Path top;
    top.addRoundedRectangle(c.x - w / 2 + 3, bottom - h + 1, w - 6, h * 0.32f, roundness * 0.7f);
    g.setColour(juce::Colours::white.withAlpha(0.1f));
    g.fillPath(top);
    return {c.x - w / 2, bottom - h, w, h};
}

// A rotary desk phone: its body as deskBody draws it, the handset across the top and the dial
// on the top face.
struct RotaryDesk
{
    float w, h, roundness;
    float handsetInset, handsetLift, handsetThickness;
    float dialBelowTop, dialRadius;
};

void rotaryDeskPhone(juce::Graphics& g, R a, juce::Colour body, const RotaryDesk& s, juce::Colour dial,
                     bool fingerHoles)
{
    const R b = deskBody(g, a, s.w, s.h, body, s.roundness);
    const float handsetY = b.getY() - s.handsetLift;
    handset(g, P(b.getX() + s.handsetInset, handsetY), P(b.getRight() - s.handsetInset, handsetY), s.handsetThickness,
            body);
    rotaryDial(g, P(a.getCentre().x, b.getY() + s.dialBelowTop), s.dialRadius, dial, fingerHoles);
}
} // namespace

void deskPhone(juce::Graphics& g, R a, const Device& d)
{
    const juce::Colour body = d.bodyColour(), trim = d.trimColour();
    const P c = a.getCentre();
    switch (d.style)
    {
    case DeskModern:
    {
        const R b = deskBody(g, a, 92, 34, body, 4);
        handset(g, P(b.getX() + 12, b.getY() - 4), P(b.getX() + 14, b.getBottom() - 4), 7, body.darker(0.2f));
        screen(g, R(b.getX() + 34, b.getY() + 5, 34, 8), juce::Colour(0xff9fb7a4));
        keys(g, R(b.getX() + 34, b.getY() + 16, 34, 15), 6, 2, trim, 1.0f);
        keys(g, R(b.getRight() - 19, b.getY() + 5, 12, 26), 1, 4, trim.darker(0.3f), 1.0f);
        break;
    }
    case DeskEuro:
    {
        // One rounded piece: the handset forms the top, the keypad sits below it.
        floorShadow(g, R(80, 9).withCentre(P(c.x, a.getBottom() - 6)));
        juce::Path shell;
        shell.addRoundedRectangle(c.x - 36, a.getY() + 16, 72, 56, 20);
        litPath(g, shell, body);
        handset(g, P(c.x - 30, a.getY() + 20), P(c.x + 30, a.getY() + 20), 10, body.brighter(0.08f));
        keys(g, R(c.x - 15, a.getY() + 38, 30, 26), 3, 4, trim, 1.2f, 2.0f);
        break;
    }
    case DeskBusiness:
    {
        const R b = deskBody(g, a, 104, 38, body, 3);
        handset(g, P(b.getX() + 6, b.getY() - 2), P(b.getX() + 46, b.getY() - 2), 8, body.brighter(0.1f));
        keys(g, R(b.getX() + 8, b.getY() + 12, 30, 22), 3, 4, trim, 1.0f);
        for (int col = 0; col < 3; ++col) // the line buttons, each with its lamp
            for (int row = 0; row < 5; ++row)
            {
                const R key(b.getX() + 46 + col * 18, b.getY() + 6 + row * 6.2f, 12, 4.5f);
                litBox(g, key, trim.darker(0.2f), 1.0f);
                led(g, P(key.getRight() + 2.5f, key.getCentreY()), 0.9f,
                    (row + col) % 3 == 0 ? juce::Colour(0xff3bd16f) : juce::Colour(0xff505050));
            }
        break;
    }
    case DeskClassic:
        rotaryDeskPhone(g, a, body, {78, 40, 12, 2, 1, 10, 23, 13}, body.darker(0.05f), false);
        break;
    case DeskCradle:
    {
        // 1930s: a tall domed body, the handset high on a cradle, the dial on the front.
        floorShadow(g, R(74, 8).withCentre(P(c.x, a.getBottom() - 6)));
        juce::Path dome;
        dome.startNewSubPath(c.x - 34, a.getBottom() - 6);
        dome.lineTo(c.x - 24, a.getY() + 26);
        dome.quadraticTo(c.x, a.getY() + 18, c.x + 24, a.getY() + 26);
        dome.lineTo(c.x + 34, a.getBottom() - 6);
        dome.closeSubPath();
        litPath(g, dome, body, 0.45f);
        g.setColour(body.brighter(0.3f));
        g.drawLine(c.x - 16, a.getY() + 24, c.x - 20, a.getY() + 15, 3.0f); // cradle prongs
        g.drawLine(c.x + 16, a.getY() + 24, c.x + 20, a.getY() + 15, 3.0f);
        handset(g, P(c.x - 38, a.getY() + 15), P(c.x + 38, a.getY() + 15), 9, body);
        rotaryDial(g, P(c.x, a.getY() + 48), 14, body.brighter(0.05f), true);
        break;
    }
    case DeskPush:
    {
        const R b = deskBody(g, a, 82, 36, body, 6);
        handset(g, P(b.getX() + 3, b.getY() - 1), P(b.getRight() - 3, b.getY() - 1), 9, body);
        keys(g, R(c.x - 15, b.getY() + 11, 30, 22), 3, 4, trim, 1.5f, 1.5f);
        if (d.waves)
        {
            dotGrille(g, R(b.getRight() - 16, b.getY() + 14, 10, 14), body.darker(0.2f), 2.2f);
            waves(g, P(b.getRight() - 11, b.getY() + 8), 0.7f, 6.0f);
        }
        break;
    }
    case DeskRotary:
        rotaryDeskPhone(g, a, body, {80, 40, 10, 2, 2, 10, 22, 15}, body.brighter(0.1f), true);
        break;
    case DeskStudio:
    default:
    {
        const R b = deskBody(g, a, 96, 32, body, 4);
        handset(g, P(b.getX() + 4, b.getY() - 1), P(b.getX() + 44, b.getY() - 1), 8, body.brighter(0.05f));
        screen(g, R(b.getX() + 52, b.getY() + 4, 38, 12), juce::Colour(0xff6fa0c8));
        keys(g, R(b.getX() + 8, b.getY() + 11, 36, 18), 4, 3, trim, 1.0f);
        dotGrille(g, R(b.getX() + 52, b.getY() + 19, 38, 9), body.darker(0.3f), 2.0f);
        break;
    }
    }
    if (d.waves && d.style != DeskPush)
        waves(g, P(c.x + 30, a.getY() + 26), 0.6f, 8.0f);
}

void candlestickPhone(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre().translated(-8, 0);
    const juce::Colour body = d.bodyColour();
    floorShadow(g, R(40, 8).withCentre(P(c.x, a.getBottom() - 5)));
    litEllipse(g, R(36, 10).withCentre(P(c.x, a.getBottom() - 7)), body);
    litBox(g, R(6, 52).withCentre(P(c.x, a.getY() + 40)), body, 2);
    // Mouthpiece: a flared cone on top.
    juce::Path mouth = polygon({P(c.x - 4, a.getY() + 14), P(c.x - 9, a.getY() + 4), P(c.x + 9, a.getY() + 4),
                                P(c.x + 4, a.getY() + 14)});
    litPath(g, mouth, body.brighter(0.1f));
    litEllipse(g, R(18, 5).withCentre(P(c.x, a.getY() + 4)), body.brighter(0.3f));
    // Earpiece hanging on its hook, with its cord.
    g.setColour(juce::Colour(0xffb89b5a));
    g.drawLine(c.x + 3, a.getY() + 24, c.x + 14, a.getY() + 22, 1.5f);
    litBox(g, R(8, 22).withCentre(P(c.x + 18, a.getY() + 34)), body, 3);
    litEllipse(g, R(12, 7).withCentre(P(c.x + 18, a.getY() + 23)), body.brighter(0.15f));
    cord(g, P(c.x + 18, a.getY() + 45), P(c.x + 2, a.getBottom() - 10), 10, juce::Colour(0xff6b5a3e));
}

void wallPhone(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour();
    if (d.style == WallStation)
    {
        // Weatherproof metal box with a heavy handset on the side.
        litBox(g, R(c.x - 30, a.getY() + 4, 50, 68), body, 3, 0.4f);
        litBox(g, R(c.x - 24, a.getY() + 10, 38, 22), body.darker(0.15f), 2);
        keys(g, R(c.x - 20, a.getY() + 38, 30, 26), 3, 4, juce::Colour(0xffc8c8c8), 2.0f);
        for (const float y : {a.getY() + 8.0f, a.getY() + 66.0f})
            for (const float x : {c.x - 27.0f, c.x + 17.0f})
                litEllipse(g, R(3, 3).withCentre(P(x, y)), juce::Colour(0xffb0b0b0));
        handset(g, P(c.x + 30, a.getY() + 6), P(c.x + 30, a.getY() + 62), 10, d.trimColour());
        cord(g, P(c.x + 30, a.getY() + 64), P(c.x + 14, a.getY() + 72), 4, juce::Colour(0xff303030), false, 2.4f);
        return;
    }
    // A slim wall phone with the handset on its face and a long coiled cord hanging down.
    litBox(g, R(c.x - 38, a.getY() + 2, 34, 56), body, 5);
    handset(g, P(c.x - 21, a.getY() + 4), P(c.x - 21, a.getY() + 50), 9, body.brighter(0.05f));
    keys(g, R(c.x - 33, a.getY() + 16, 24, 20), 3, 4, d.trimColour(), 1.0f);
    cord(g, P(c.x - 21, a.getY() + 56), P(c.x + 38, a.getY() + 40), 36, body.darker(0.1f), true, 1.2f);
}

void loneHandset(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(100, 10).withCentre(P(c.x, a.getBottom() - 10)));
    if (d.style == HandsetTranslucent)
    {
        // Cheap clear plastic: the inside shows through.
        handset(g, P(c.x - 42, c.y + 4), P(c.x + 42, c.y + 4), 12, d.bodyColour().withAlpha(0.75f));
        g.setColour(juce::Colour(0xff3a7a4a).withAlpha(0.6f));
        g.fillRect(R(c.x - 20, c.y + 2, 40, 3)); // the circuit board seen through the shell
        cord(g, P(c.x + 40, c.y + 12), P(c.x + 56, a.getBottom() - 4), 6, juce::Colour(0xffe0e0e0), true, 1.0f);
        return;
    }
    // An old black receiver with a cloth cord.
    handset(g, P(c.x - 44, c.y - 4), P(c.x + 38, c.y + 10), 13, d.bodyColour());
    cord(g, P(c.x + 36, c.y + 20), P(c.x - 50, a.getBottom() - 2), 20, juce::Colour(0xff7a6248), false, 2.2f);
}

void cordlessPhone(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour();
    if (!d.waves)
    {
        // The handset standing in its charging base.
        floorShadow(g, R(60, 9).withCentre(P(c.x, a.getBottom() - 6)));
        litBox(g, R(c.x - 28, a.getBottom() - 22, 56, 16), body.darker(0.15f), 5);
        led(g, P(c.x + 20, a.getBottom() - 12), 1.3f, juce::Colour(0xff3bd16f));
        litBox(g, R(c.x - 11, a.getY() + 4, 22, 60), body, 6);
        litBox(g, R(3, 8).withCentre(P(c.x + 7, a.getY() + 1)), juce::Colour(0xff202022), 1.5f); // antenna stub
        screen(g, R(c.x - 7, a.getY() + 12, 14, 9), juce::Colour(0xffa9c29a));
        keys(g, R(c.x - 7, a.getY() + 26, 14, 24), 3, 4, d.trimColour(), 0.8f);
        return;
    }
    // Lying flat on its back, sound rising from its speaker.
    juce::Graphics::ScopedSaveState state(g);
    floorShadow(g, R(92, 16).withCentre(P(c.x, c.y + 12)));
    g.addTransform(juce::AffineTransform::rotation(-1.45f, c.x, c.y).scaled(1.0f, 0.55f, c.x, c.y).translated(0, 8));
    litBox(g, R(c.x - 11, c.y - 40, 22, 74), body, 6);
    screen(g, R(c.x - 7, c.y - 28, 14, 10), juce::Colour(0xffa9c29a));
    keys(g, R(c.x - 7, c.y - 14, 14, 28), 3, 4, d.trimColour(), 0.8f);
    g.restoreState();
    g.saveState();
    waves(g, P(c.x + 34, c.y), 0.0f, 6.0f);
}

void conferencePhone(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre().translated(0, 4);
    floorShadow(g, R(104, 26).withCentre(c.translated(0, 6)));
    for (int i = 0; i < 3; ++i)
    {
        const float angle = juce::degreesToRadians(90.0f + 120.0f * i);
        juce::Path leg;
        leg.addRoundedRectangle(-8, -46, 16, 46, 7);
        leg.applyTransform(juce::AffineTransform::rotation(angle).scaled(1.0f, 0.5f).translated(c.x, c.y));
        litPath(g, leg, d.bodyColour());
    }
    litEllipse(g, R(34, 18).withCentre(c), d.bodyColour().brighter(0.1f));
    for (int i = 0; i < 3; ++i)
    {
        const float angle = juce::degreesToRadians(90.0f + 120.0f * i);
        const P tip = c + P(std::sin(angle) * 34.0f, -std::cos(angle) * 17.0f);
        dotGrille(g, R(10, 6).withCentre(tip), d.bodyColour().darker(0.3f), 1.8f, true);
    }
    screen(g, R(16, 6).withCentre(c.translated(0, -1)), juce::Colour(0xff6fa0c8));
    led(g, c.translated(0, 5), 1.2f, juce::Colour(0xff3bd16f));
    waves(g, c.translated(0, -12), 0.0f, 10.0f);
}

void faxMachine(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(100, 10).withCentre(P(c.x, a.getBottom() - 5)));
    litBox(g, R(c.x - 40, a.getY() + 28, 80, 40), d.bodyColour(), 4);
    // Paper curling out of the top.
    juce::Path paper;
    paper.startNewSubPath(c.x - 18, a.getY() + 30);
    paper.lineTo(c.x - 16, a.getY() + 6);
    paper.quadraticTo(c.x - 10, a.getY() - 2, c.x + 2, a.getY() + 4);
    paper.lineTo(c.x + 22, a.getY() + 4);
    paper.lineTo(c.x + 20, a.getY() + 30);
    paper.closeSubPath();
    litPath(g, paper, juce::Colour(0xfff4f4ee), 0.15f);
    g.setColour(juce::Colour(0xff8a8a8a));
    for (int i = 0; i < 5; ++i)
        g.drawHorizontalLine(static_cast<int>(a.getY() + 10 + i * 3.5f), c.x - 12, c.x + 16);
    keys(g, R(c.x - 2, a.getY() + 44, 30, 20), 3, 4, d.trimColour(), 1.0f);
    screen(g, R(c.x - 2, a.getY() + 34, 30, 7), juce::Colour(0xffa9c29a));
    handset(g, P(c.x - 34, a.getY() + 32), P(c.x - 34, a.getY() + 64), 8, d.bodyColour().darker(0.1f));
}

void answeringMachine(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(104, 12).withCentre(P(c.x, a.getBottom() - 12)));
    litBox(g, R(c.x - 48, c.y - 14, 96, 36), d.bodyColour(), 4);
    // Micro-cassette window with its two reels.
    screen(g, R(c.x - 40, c.y - 8, 36, 22), juce::Colour(0xff2c2a28));
    for (const float x : {c.x - 31.0f, c.x - 13.0f})
    {
        g.setColour(juce::Colour(0xffd8d8d8));
        g.fillEllipse(R(9, 9).withCentre(P(x, c.y + 3)));
        g.setColour(juce::Colour(0xff202020));
        g.fillEllipse(R(4, 4).withCentre(P(x, c.y + 3)));
    }
    led(g, P(c.x + 38, c.y - 6), 1.8f, juce::Colour(0xffff3020));
    digits(g, R(c.x + 4, c.y - 10, 26, 9), "03", juce::Colour(0xffff5040));
    const juce::Colour key = d.trimColour();
    for (int i = 0; i < 4; ++i)
        litBox(g, R(c.x + 4 + i * 10.5f, c.y + 4, 8, 10), key, 1.5f);
    g.setColour(juce::Colours::white);
    g.fillPath([&] { juce::Path t; t.addTriangle(c.x + 7, c.y + 6.5f, c.x + 7, c.y + 11.5f, c.x + 10.5f, c.y + 9); return t; }());
    g.fillRect(R(c.x + 17, c.y + 6.5f, 4, 4));
}
} // namespace Devices
