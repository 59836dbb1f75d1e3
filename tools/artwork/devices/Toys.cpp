// Children's toys that make sound: bright plastic, big buttons, rounded everything.
#include "devices/Families.h"

#include "Style.h"

#include <cmath>

namespace Devices
{
namespace
{
const juce::Colour kToyColours[] = {juce::Colour(0xffe0302a), juce::Colour(0xfff2c81e), juce::Colour(0xff3fc06a),
                                    juce::Colour(0xff3ab0e0), juce::Colour(0xffff6fb0), juce::Colour(0xff7a4ad0)};

void toyButton(juce::Graphics& g, P c, float r, int colour)
{
    Style::fillSphere(g, R(2 * r, 2 * r).withCentre(c), kToyColours[colour % 6]);
}
} // namespace

void toySpeaker(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    if (d.style == 0)
    {
        // A round animal face: ears, eyes, the speaker as its nose and mouth.
        floorShadow(g, R(70, 8).withCentre(P(c.x, a.getBottom() - 2)));
        for (const float x : {c.x - 24.0f, c.x + 24.0f})
            Style::fillSphere(g, R(20, 20).withCentre(P(x, c.y - 24)), d.bodyColour().darker(0.1f));
        Style::fillSphere(g, R(66, 62).withCentre(c.translated(0, 4)), d.bodyColour());
        for (const float x : {c.x - 12.0f, c.x + 12.0f})
        {
            g.setColour(juce::Colours::white);
            g.fillEllipse(R(11, 12).withCentre(P(x, c.y - 6)));
            g.setColour(juce::Colours::black);
            g.fillEllipse(R(6, 7).withCentre(P(x + 1, c.y - 5)));
        }
        dotGrille(g, R(26, 20).withCentre(c.translated(0, 16)), d.trimColour(), 2.4f, true);
        return;
    }
    // A yellow box with big coloured buttons and a round grille.
    const R b = R(72, 56).withCentre(c.translated(0, 4));
    floorShadow(g, R(80, 8).withCentre(P(c.x, b.getBottom())));
    litBox(g, b, d.bodyColour(), 10, 0.35f);
    dotGrille(g, R(34, 34).withCentre(P(b.getX() + 22, b.getCentreY())), d.bodyColour().darker(0.2f), 3.0f, true);
    for (int i = 0; i < 4; ++i)
        toyButton(g, P(b.getRight() - 24 + (i % 2) * 14, b.getY() + 16 + (i / 2) * 18), 5.5f, i);
}

void toyMic(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(80, 10).withCentre(P(c.x, a.getBottom() - 4)));
    juce::Path handle;
    handle.addRoundedRectangle(-8, 0, 16, 52, 7);
    handle.applyTransform(juce::AffineTransform::rotation(-0.7f).translated(c.x - 4, c.y - 6));
    litPath(g, handle, d.bodyColour(), 0.4f);
    const P head = c.translated(-10, -16);
    dotGrille(g, R(34, 34).withCentre(head), d.trimColour(), 3.0f, true);
    Style::fillSphere(g, R(34, 34).withCentre(head), juce::Colours::transparentBlack);
    toyButton(g, c.translated(8, 4), 4, 1);
    g.setColour(d.bodyColour().brighter(0.2f));
    g.drawEllipse(R(36, 36).withCentre(head), 2.0f);
}

void karaokeToy(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const R b = R(60, 34).withCentre(c.translated(-14, 16));
    floorShadow(g, R(100, 8).withCentre(P(c.x, b.getBottom())));
    litBox(g, b, d.bodyColour(), 8, 0.35f);
    dotGrille(g, R(22, 22).withCentre(P(b.getX() + 16, b.getCentreY())), d.bodyColour().darker(0.3f), 2.4f, true);
    for (int i = 0; i < 3; ++i)
        toyButton(g, P(b.getX() + 34 + i * 8.5f, b.getCentreY()), 3.5f, i + 2);
    // The microphone on its stand beside it.
    g.setColour(juce::Colour(0xffc8ccd2));
    g.drawLine(c.x + 36, b.getBottom(), c.x + 36, a.getY() + 14, 2.0f);
    litEllipse(g, R(20, 5).withCentre(P(c.x + 36, b.getBottom())), juce::Colour(0xff5a5c62));
    litBox(g, R(8, 18).withCentre(P(c.x + 36, a.getY() + 18)), d.trimColour(), 3);
    dotGrille(g, R(14, 14).withCentre(P(c.x + 36, a.getY() + 6)), d.trimColour().brighter(0.2f), 2.0f, true);
    cord(g, P(c.x + 36, a.getY() + 27), P(b.getRight() - 2, b.getY() + 6), 10, juce::Colour(0xff2a2b2e), false, 1.0f);
}

void toyGuitar(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    juce::Graphics::ScopedSaveState state(g);
    floorShadow(g, R(120, 10).withCentre(P(c.x, a.getBottom() - 4)));
    g.addTransform(juce::AffineTransform::rotation(-0.35f, c.x, c.y));
    juce::Path body;
    body.addEllipse(c.x - 50, c.y - 18, 40, 36);
    body.addEllipse(c.x - 24, c.y - 14, 30, 28);
    litPath(g, body, d.bodyColour(), 0.4f);
    litBox(g, R(48, 10).withCentre(P(c.x + 22, c.y)), d.trimColour(), 3);
    litBox(g, R(12, 16).withCentre(P(c.x + 50, c.y)), d.trimColour().darker(0.2f), 3);
    for (int i = 0; i < 4; ++i) // big coloured buttons along the neck
        toyButton(g, P(c.x + 6 + i * 10.0f, c.y), 3.6f, i + 2);
    g.setColour(juce::Colours::black.withAlpha(0.7f));
    g.fillEllipse(R(12, 12).withCentre(P(c.x - 22, c.y)));
    g.setColour(juce::Colours::white.withAlpha(0.8f));
    for (int i = -1; i <= 1; ++i)
        g.drawLine(c.x - 36, c.y + i * 2.5f, c.x - 8, c.y + i * 2.5f, 0.5f);
}

void kidsPod(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(52, 8).withCentre(P(c.x, a.getBottom() - 2)));
    juce::Path egg;
    egg.startNewSubPath(c.x, a.getY());
    egg.cubicTo(c.x + 30, a.getY(), c.x + 30, a.getBottom() - 2, c.x, a.getBottom() - 2);
    egg.cubicTo(c.x - 30, a.getBottom() - 2, c.x - 30, a.getY(), c.x, a.getY());
    egg.closeSubPath();
    litPath(g, egg, d.bodyColour(), 0.45f);
    Style::fillSphere(g, R(26, 26).withCentre(c.translated(0, 10)), d.trimColour());
    g.setColour(juce::Colours::white);
    juce::Path note;
    note.addEllipse(c.x - 5, c.y + 11, 6, 5);
    note.addRectangle(c.x, c.y + 2, 1.6f, 12);
    g.fillPath(note);
    dotGrille(g, R(20, 10).withCentre(c.translated(0, -18)), d.bodyColour().darker(0.2f), 2.2f);
}

void cashRegister(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(96, 8).withCentre(P(c.x, a.getBottom() - 2)));
    litBox(g, R(80, 18).withCentre(P(c.x, a.getBottom() - 12)), d.trimColour(), 3); // drawer
    litBox(g, R(24, 4).withCentre(P(c.x, a.getBottom() - 11)), d.trimColour().darker(0.3f), 1);
    juce::Path top = polygon({P(c.x - 36, a.getBottom() - 21), P(c.x - 30, a.getY() + 22), P(c.x + 30, a.getY() + 22),
                              P(c.x + 36, a.getBottom() - 21)});
    litPath(g, top, d.bodyColour());
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 5; ++col)
            toyButton(g, P(c.x - 22 + col * 11.0f, a.getY() + 30 + row * 10.0f), 3.6f, col + row);
    litBox(g, R(30, 16).withCentre(P(c.x + 12, a.getY() + 12)), d.bodyColour().darker(0.15f), 3);
    digits(g, R(26, 10).withCentre(P(c.x + 12, a.getY() + 12)), "1.99", juce::Colour(0xff3bd16f));
}

void shoppingCart(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(96, 8).withCentre(P(c.x, a.getBottom() - 2)));
    juce::Path basket = polygon({P(c.x - 40, a.getY() + 14), P(c.x + 34, a.getY() + 14), P(c.x + 26, c.y + 14),
                                 P(c.x - 32, c.y + 14)});
    litPath(g, basket, d.bodyColour(), 0.35f);
    g.setColour(d.bodyColour().darker(0.45f));
    for (int i = 1; i < 7; ++i)
        g.drawLine(c.x - 40 + i * 10.5f, a.getY() + 16, c.x - 32 + i * 8.3f, c.y + 12, 1.2f);
    g.drawLine(c.x - 38, c.y - 2, c.x + 30, c.y - 2, 1.2f);
    // The handle with its sound button, the frame and the wheels.
    g.setColour(d.trimColour());
    g.drawLine(c.x + 34, a.getY() + 14, c.x + 46, a.getY() + 4, 3.0f);
    toyButton(g, P(c.x + 46, a.getY() + 4), 4.5f, 1);
    g.drawLine(c.x - 28, c.y + 14, c.x - 30, a.getBottom() - 6, 2.4f);
    g.drawLine(c.x + 22, c.y + 14, c.x + 24, a.getBottom() - 6, 2.4f);
    for (const float x : {c.x - 30.0f, c.x + 24.0f})
        litEllipse(g, R(8, 8).withCentre(P(x, a.getBottom() - 5)), juce::Colour(0xff2a2b2e));
}

void toyPhone(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour(), second = d.trimColour();
    switch (d.style)
    {
    case ToyPhoneChunky:
    {
        floorShadow(g, R(50, 8).withCentre(P(c.x, a.getBottom() - 2)));
        litBox(g, R(42, 74).withCentre(c), body, 12, 0.4f);
        litBox(g, R(8, 14).withCentre(P(c.x + 12, a.getY() - 2)), second, 3);
        screen(g, R(28, 14).withCentre(c.translated(0, -20)), juce::Colour(0xffa9e0a0));
        for (int i = 0; i < 9; ++i)
        {
            const P at(c.x - 11 + (i % 3) * 11.0f, c.y - 2 + (i / 3) * 11.0f);
            toyButton(g, at, 4.5f, i);
            g.setColour(juce::Colours::white);
            g.setFont(Style::sans(7.0f, true));
            g.drawText(juce::String(i + 1), R(8, 8).withCentre(at), juce::Justification::centred);
        }
        break;
    }
    case ToyFlipOpen:
    {
        floorShadow(g, R(60, 8).withCentre(P(c.x, a.getBottom() - 2)));
        litBox(g, R(40, 36).withCentre(c.translated(0, -20)), body, 10, 0.4f);
        litBox(g, R(40, 38).withCentre(c.translated(0, 19)), body.darker(0.08f), 10, 0.4f);
        screen(g, R(28, 22).withCentre(c.translated(0, -20)), juce::Colour(0xffffe070));
        for (int i = 0; i < 6; ++i)
            toyButton(g, P(c.x - 10 + (i % 3) * 10.0f, c.y + 12 + (i / 3) * 12.0f), 4.0f, i + 1);
        litBox(g, R(30, 4).withCentre(c.translated(0, -1)), second, 2);
        break;
    }
    default:
    {
        // Small and closed, hanging from a keyring.
        g.setColour(juce::Colour(0xffc8ccd2));
        g.drawEllipse(R(16, 16).withCentre(c.translated(-26, -22)), 2.0f);
        g.drawLine(c.x - 20, c.y - 16, c.x - 12, c.y - 10, 1.6f);
        floorShadow(g, R(40, 6).withCentre(P(c.x + 4, a.getBottom() - 4)));
        litBox(g, R(30, 48).withCentre(c.translated(4, 8)), body, 9, 0.4f);
        screen(g, R(14, 10).withCentre(c.translated(4, 0)), juce::Colour(0xffffe070));
        toyButton(g, c.translated(4, 20), 4.0f, 0);
        g.setColour(body.darker(0.4f));
        g.drawHorizontalLine(static_cast<int>(c.y + 12), c.x - 10, c.x + 18);
        break;
    }
    }
}

void learningToy(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(110, 8).withCentre(P(c.x, a.getBottom() - 2)));
    const R b = R(106, 70).withCentre(c);
    litBox(g, b, d.bodyColour(), 12, 0.35f);
    screen(g, R(b.getX() + 10, b.getY() + 8, 42, 20), juce::Colour(0xffa9e0a0));
    digits(g, R(b.getX() + 12, b.getY() + 11, 38, 14), "ABC", juce::Colour(0xff1a3a1a));
    dotGrille(g, R(34, 20).withCentre(P(b.getRight() - 26, b.getY() + 18)), d.bodyColour().darker(0.2f), 2.4f);
    const char* letters = "ABCDEFGHIJKL";
    for (int i = 0; i < 12; ++i)
    {
        const R key(b.getX() + 8 + (i % 6) * 15.5f, b.getY() + 34 + (i / 6) * 16.0f, 13, 13);
        litBox(g, key, kToyColours[i % 6], 3, 0.35f);
        g.setColour(juce::Colours::white);
        g.setFont(Style::sans(9.0f, true));
        g.drawText(juce::String::charToString(letters[i]), key, juce::Justification::centred);
    }
}

void workSurface(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(120, 8).withCentre(P(c.x, a.getBottom() - 2)));
    // The table top in perspective on four stubby legs.
    for (const float x : {c.x - 46.0f, c.x + 46.0f})
        litBox(g, R(8, 24).withCentre(P(x, a.getBottom() - 12)), d.trimColour(), 2);
    juce::Path top = polygon({P(c.x - 58, c.y + 8), P(c.x - 44, a.getY() + 6), P(c.x + 44, a.getY() + 6),
                              P(c.x + 58, c.y + 8)});
    litPath(g, top, d.bodyColour(), 0.3f);
    litBox(g, R(116, 6).withCentre(P(c.x, c.y + 11)), d.bodyColour().darker(0.25f), 2);
    // A dial, buttons and a toy phone handset on it.
    Style::fillSphere(g, R(20, 12).withCentre(c.translated(-30, -10)), kToyColours[4]);
    g.setColour(juce::Colours::white);
    g.drawLine(c.x - 30, c.y - 10, c.x - 24, c.y - 13, 1.4f);
    for (int i = 0; i < 3; ++i)
        toyButton(g, P(c.x - 6 + i * 10.0f, c.y - 2), 3.6f, i);
    handset(g, P(c.x + 22, c.y - 18), P(c.x + 46, c.y - 8), 5, kToyColours[0]);
}
} // namespace Devices
