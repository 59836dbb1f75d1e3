// Loudspeakers: cabinets, bare drivers, pairs, subwoofers, surround sets, the gramophone
// horn, the rugged portable and the guitar amps.
#include "devices/Families.h"

#include "Style.h"

#include <cmath>

namespace Devices
{
namespace
{
// One box speaker, front view with a sliver of its side for depth.
void speakerBox(juce::Graphics& g, R b, juce::Colour body, bool wood, float corner = 2.0f)
{
    g.setColour(body.darker(0.6f));
    g.fillRoundedRectangle(b.translated(3, -2), corner);
    if (wood)
        woodGrain(g, b, body, corner);
    else
        litBox(g, b, body, corner);
}
} // namespace

void cabinetSpeaker(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour(), second = d.trimColour();
    switch (d.style)
    {
    case CabinetVintage:
    {
        const R b = R(64, 68).withCentre(c.translated(0, 2));
        floorShadow(g, R(74, 8).withCentre(P(c.x, b.getBottom())));
        speakerBox(g, b, body, true, 5);
        juce::Path arch; // tan cloth with an arched top
        arch.startNewSubPath(b.getX() + 9, b.getBottom() - 16);
        arch.lineTo(b.getX() + 9, b.getY() + 26);
        arch.quadraticTo(b.getCentreX(), b.getY() - 2, b.getRight() - 9, b.getY() + 26);
        arch.lineTo(b.getRight() - 9, b.getBottom() - 16);
        arch.closeSubPath();
        g.setColour(second);
        g.fillPath(arch);
        g.setColour(juce::Colours::black.withAlpha(0.5f));
        g.strokePath(arch, juce::PathStrokeType(1.2f));
        for (float x = b.getX() + 12; x < b.getRight() - 10; x += 2.0f)
        {
            g.setColour(second.darker(0.2f).withAlpha(0.6f));
            g.drawVerticalLine(static_cast<int>(x), b.getY() + 14, b.getBottom() - 17);
        }
        knob(g, P(b.getCentreX(), b.getBottom() - 8), 4, juce::Colour(0xffc9a24a));
        break;
    }
    case CabinetCube:
    {
        const R b = R(62, 62).withCentre(c.translated(0, 2));
        floorShadow(g, R(72, 8).withCentre(P(c.x, b.getBottom())));
        speakerBox(g, b, body, false, 2);
        cone(g, b.getCentre(), 24, second, juce::Colour(0xff3a342a));
        g.setColour(juce::Colours::black.withAlpha(0.45f)); // the grille's bars over the cone
        for (float x = b.getX() + 6; x < b.getRight() - 4; x += 5.0f)
            g.drawVerticalLine(static_cast<int>(x), b.getY() + 4, b.getBottom() - 4);
        break;
    }
    case CabinetSatellite:
    {
        const R b = R(36, 54).withCentre(c);
        floorShadow(g, R(46, 8).withCentre(P(c.x, b.getBottom())));
        speakerBox(g, b, body, false, 5);
        cone(g, b.getCentre().translated(0, 4), 13);
        led(g, P(b.getCentreX(), b.getY() + 7), 1.0f, juce::Colour(0xff3a7ac8));
        break;
    }
    case CabinetBookshelf:
    {
        const R b = R(48, 70).withCentre(c);
        floorShadow(g, R(58, 8).withCentre(P(c.x, b.getBottom())));
        speakerBox(g, b, body, true, 2);
        cone(g, P(b.getCentreX(), b.getY() + 14), 7, juce::Colour(0xffd8d8d8), second);
        cone(g, P(b.getCentreX(), b.getY() + 44), 17, second, juce::Colour(0xff0e0e0f));
        break;
    }
    default: // the white modern speaker without grille
    {
        const R b = R(46, 66).withCentre(c);
        floorShadow(g, R(56, 8).withCentre(P(c.x, b.getBottom())));
        speakerBox(g, b, body, false, 6);
        cone(g, P(b.getCentreX(), b.getY() + 13), 6, juce::Colour(0xffc8ccd2), second);
        cone(g, P(b.getCentreX(), b.getY() + 42), 16, juce::Colour(0xffd8d8d6), juce::Colour(0xff9a9a9c));
        break;
    }
    }
}

void driver(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    switch (d.style)
    {
    case DriverBare:
    {
        // Three-quarter view: the magnet behind, the basket, then the cone facing us.
        floorShadow(g, R(80, 10).withCentre(P(c.x, a.getBottom() - 2)));
        litBox(g, R(24, 24).withCentre(c.translated(22, 2)), juce::Colour(0xff3a3b3e), 4);
        litEllipse(g, R(26, 26).withCentre(c.translated(28, 2)), juce::Colour(0xff505258));
        juce::Path basket;
        basket.addEllipse(R(40, 66).withCentre(c.translated(-8, 0)));
        litPath(g, basket, d.trimColour(), 0.4f);
        g.setColour(d.bodyColour().darker(0.3f));
        g.fillEllipse(R(34, 58).withCentre(c.translated(-8, 0)));
        juce::ColourGradient body(d.bodyColour().darker(0.3f), c.x - 24, c.y - 20, d.bodyColour().brighter(0.5f),
                                  c.x + 8, c.y + 24, false);
        g.setGradientFill(body);
        g.fillEllipse(R(28, 50).withCentre(c.translated(-8, 0)));
        Style::fillSphere(g, R(12, 20).withCentre(c.translated(-8, 0)), d.bodyColour().brighter(0.2f));
        break;
    }
    case DriverPiezo:
    {
        floorShadow(g, R(60, 8).withCentre(c.translated(-6, 20)));
        litEllipse(g, R(54, 42).withCentre(c.translated(-8, 0)), d.bodyColour(), 0.5f);
        litEllipse(g, R(34, 26).withCentre(c.translated(-8, 0)), d.trimColour(), 0.4f);
        cord(g, c.translated(-2, -2), P(a.getRight() - 2, c.y - 12), -6, juce::Colour(0xffd02a2a), false, 1.3f);
        cord(g, c.translated(2, 4), P(a.getRight() - 2, c.y + 10), 6, juce::Colour(0xff1a1a1c), false, 1.3f);
        break;
    }
    default:
    {
        // Small drivers, front view: a metal frame, the cone, wires; size shows the inch.
        const float r = d.style == DriverCoin ? 12.0f : (d.style == DriverOneInch ? 12.0f : 22.0f);
        const P at = c.translated(-12, -2);
        floorShadow(g, R(r * 2.4f, 8).withCentre(P(at.x, at.y + r + 4)));
        litEllipse(g, R(2 * r + 4, 2 * r + 4).withCentre(at), d.trimColour(), 0.5f);
        cone(g, at, r, d.bodyColour());
        const juce::Colour red(0xffd02a2a), black(0xff1a1a1c);
        cord(g, at.translated(r * 0.7f, r * 0.5f), P(a.getRight() - 4, at.y + r), 6, red, false, d.style == DriverTwoInch ? 1.3f : 0.8f);
        cord(g, at.translated(r * 0.8f, r * 0.2f), P(a.getRight() - 4, at.y + r - 6), 4, black, false, d.style == DriverTwoInch ? 1.3f : 0.8f);
        if (d.style == DriverTwoInch || d.style == DriverOneInch)
        {
            // A ruler under it for scale.
            const R ruler(a.getX() + 4, a.getBottom() - 10, a.getWidth() - 8, 8);
            litBox(g, ruler, juce::Colour(0xffe0c878), 1, 0.15f);
            g.setColour(juce::Colour(0xff3a2a10));
            for (int i = 0; i <= 24; ++i)
                g.drawVerticalLine(static_cast<int>(ruler.getX() + 2 + i * 4.7f), ruler.getY(),
                                   ruler.getY() + (i % 4 == 0 ? 5.0f : 2.5f));
        }
        break;
    }
    }
}

void speakerPair(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour(), second = d.trimColour();
    float w = 34, h = 72;
    switch (d.style)
    {
    case PairTallActive: w = 30; h = 74; break;
    case PairFloorstanders: w = 28; h = 76; break;
    case PairLargeMonitors: w = 40; h = 62; break;
    case PairDesktopActive: w = 30; h = 50; break;
    case PairClothGrille: w = 32; h = 52; break;
    case PairMonitorsPorted: w = 34; h = 50; break;
    case PairCylinders: w = 16; h = 74; break;
    case PairSmallWood: w = 28; h = 38; break;
    case PairSmallMonitors: w = 28; h = 40; break;
    default: break;
    }
    const float gap = d.style == PairCylinders ? 22.0f : 12.0f;
    for (int side = 0; side < 2; ++side)
    {
        const R b = R(w, h).withCentre(P(c.x + (side == 0 ? -1 : 1) * (w / 2 + gap / 2), a.getBottom() - h / 2 - 2));
        floorShadow(g, R(w + 10, 6).withCentre(P(b.getCentreX(), b.getBottom())));
        const float mid = b.getCentreX();
        switch (d.style)
        {
        case PairCylinders:
            litBox(g, b, body, w / 2, 0.5f);
            dotGrille(g, b.reduced(3, 8), body.darker(0.2f), 2.0f);
            break;
        case PairFloorstanders:
            speakerBox(g, b, body, true, 2);
            cone(g, P(mid, b.getY() + 9), 4, juce::Colour(0xffd0d0d0), second);
            cone(g, P(mid, b.getY() + 28), 10, second);
            cone(g, P(mid, b.getY() + 52), 10, second);
            break;
        case PairClothGrille:
            speakerBox(g, b, body, false, 3);
            clothGrille(g, b.reduced(3), second, 2);
            break;
        case PairSmallWood:
            speakerBox(g, b, body, true, 2);
            cone(g, b.getCentre().translated(0, 3), 10, second);
            break;
        default:
        {
            speakerBox(g, b, body, false, 3);
            const bool monitors = d.style == PairLargeMonitors || d.style == PairMonitorsPorted ||
                                  d.style == PairSmallMonitors;
            const float woofer = std::min(w, h) * 0.36f;
            cone(g, P(mid, b.getY() + h * 0.2f), w * 0.13f, juce::Colour(0xffd0d0d0));
            cone(g, P(mid, b.getBottom() - woofer - h * 0.1f), woofer, monitors ? second : juce::Colour(0xff2a2a2c),
                 d.style == PairSmallMonitors ? second : juce::Colour(0xff151516));
            if (d.style == PairMonitorsPorted)
                for (const float x : {b.getX() + 7.0f, b.getRight() - 7.0f})
                {
                    g.setColour(juce::Colours::black);
                    g.fillEllipse(R(5, 5).withCentre(P(x, b.getBottom() - 5)));
                }
            if (side == 1 && (d.style == PairTallActive || d.style == PairDesktopActive))
                led(g, P(b.getRight() - 5, b.getBottom() - 5), 1.0f, juce::Colour(0xff3ad0ff));
            if (side == 1 && d.style == PairDesktopActive)
                knob(g, P(b.getX() + 6, b.getBottom() - 6), 3, juce::Colour(0xff8a8d93));
            break;
        }
        }
    }
}

void subwoofer(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour();
    if (d.style == SubRound)
    {
        // A round drum standing on a ring, its cone on top facing up, seen from above.
        floorShadow(g, R(76, 10).withCentre(P(c.x, a.getBottom() - 4)));
        litBox(g, R(64, 40).withCentre(c.translated(0, 14)), body, 6, 0.5f);
        litEllipse(g, R(64, 24).withCentre(c.translated(0, -6)), body.brighter(0.2f));
        g.setColour(d.trimColour());
        g.fillEllipse(R(50, 18).withCentre(c.translated(0, -6)));
        Style::fillSphere(g, R(18, 7).withCentre(c.translated(0, -6)), juce::Colour(0xff3a3b3e));
        return;
    }
    const bool tall = d.style == SubTall;
    const R b = tall ? R(36, 74).withCentre(c) : R(66, 62).withCentre(c.translated(0, 4));
    floorShadow(g, R(b.getWidth() + 12, 8).withCentre(P(c.x, b.getBottom())));
    speakerBox(g, b, body, false, 3);
    if (tall)
    {
        cone(g, b.getCentre().translated(0, 8), 14);
        g.setColour(juce::Colours::black);
        g.fillRoundedRectangle(R(b.getX() + 6, b.getY() + 8, b.getWidth() - 12, 4), 2);
    }
    else
    {
        cone(g, b.getCentre().translated(-4, 0), 24);
        g.setColour(juce::Colours::black);
        g.fillEllipse(R(8, 8).withCentre(P(b.getRight() - 8, b.getBottom() - 8)));
    }
}

void surroundSet(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const juce::Colour body = d.bodyColour();
    auto satellite = [&](P at, float w, float h) {
        floorShadow(g, R(w + 4, 4).withCentre(P(at.x, at.y + h / 2)));
        speakerBox(g, R(w, h).withCentre(at), body, false, 2);
        cone(g, at.translated(0, h * 0.12f), std::min(w, h) * 0.3f);
    };
    if (d.style == 1) // with the subwoofer
    {
        const R sub = R(34, 34).withCentre(c.translated(36, 18));
        floorShadow(g, R(42, 6).withCentre(P(sub.getCentreX(), sub.getBottom())));
        speakerBox(g, sub, body.darker(0.2f), false, 2);
        cone(g, sub.getCentre(), 12);
    }
    satellite(c.translated(-46, 10), 12, 26);
    satellite(c.translated(d.style == 1 ? 6.0f : 46.0f, 10), 12, 26);
    satellite(c.translated(-30, -18), 10, 20);
    satellite(c.translated(d.style == 1 ? 20.0f : 30.0f, -18), 10, 20);
    if (d.style == 0)
        satellite(c.translated(-10, -26), 9, 16);
    // The centre speaker, lying wide.
    floorShadow(g, R(42, 5).withCentre(c.translated(-10, 30)));
    speakerBox(g, R(38, 14).withCentre(c.translated(-10, 24)), body, false, 2);
    cone(g, c.translated(-20, 24), 4.5f);
    cone(g, c.translated(0, 24), 4.5f);
}

void hornSpeaker(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(60, 8).withCentre(P(c.x - 14, a.getBottom() - 4)));
    litBox(g, R(40, 14).withCentre(P(c.x - 14, a.getBottom() - 10)), d.trimColour(), 2);
    // Neck rising from the base and curving into the flared horn.
    juce::Path neck;
    neck.startNewSubPath(c.x - 18, a.getBottom() - 16);
    neck.quadraticTo(c.x - 20, c.y - 14, c.x + 4, c.y - 20);
    juce::Path neckStroke;
    juce::PathStrokeType(5.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded).createStrokedPath(neckStroke, neck);
    litPath(g, neckStroke, d.bodyColour().darker(0.2f));
    juce::Path horn;
    horn.startNewSubPath(c.x, c.y - 22);
    horn.quadraticTo(c.x + 20, c.y - 24, c.x + 40, c.y - 40);
    horn.lineTo(c.x + 48, c.y + 8);
    horn.quadraticTo(c.x + 20, c.y - 10, c.x + 2, c.y - 16);
    horn.closeSubPath();
    litPath(g, horn, d.bodyColour(), 0.45f);
    juce::Path mouth;
    mouth.addEllipse(-8, -25, 16, 50);
    mouth.applyTransform(juce::AffineTransform::rotation(0.16f).translated(c.x + 44, c.y - 16));
    g.setColour(d.bodyColour().darker(0.8f));
    g.fillPath(mouth);
    g.setColour(d.bodyColour().brighter(0.4f));
    g.strokePath(mouth, juce::PathStrokeType(1.5f));
}

void portableSpeaker(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(100, 10).withCentre(P(c.x, a.getBottom() - 6)));
    const R b = R(90, 40).withCentre(c.translated(0, 6));
    litBox(g, b, d.bodyColour(), 20, 0.45f);
    dotGrille(g, b.reduced(16, 5), d.bodyColour().darker(0.25f), 2.2f);
    litEllipse(g, R(12, 40).withCentre(P(b.getX() + 6, b.getCentreY())), d.trimColour());
    litEllipse(g, R(12, 40).withCentre(P(b.getRight() - 6, b.getCentreY())), d.trimColour());
    // The strap looping over the top.
    juce::Path strap;
    strap.startNewSubPath(b.getX() + 10, b.getY() + 4);
    strap.quadraticTo(c.x - 30, b.getY() - 22, c.x - 2, b.getY() - 18);
    g.setColour(juce::Colour(0xff1a1a1c));
    g.strokePath(strap, juce::PathStrokeType(3.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void guitarAmp(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const bool tweed = d.style == 0;
    const float w = 74 * d.size, h = 62 * d.size;
    const R b = R(w, h).withCentre(c.translated(0, 4));
    floorShadow(g, R(w + 10, 8).withCentre(P(c.x, b.getBottom())));
    litBox(g, b, tweed ? juce::Colour(0xff2a2320) : d.bodyColour(), 4);
    // Control panel on top with chicken-head knobs, grille below.
    const R panel(b.getX() + 4, b.getY() + 4, w - 8, 12);
    litBox(g, panel, tweed ? juce::Colour(0xffc8b890) : juce::Colour(0xff2a2b2e), 1);
    const int knobs = tweed ? 4 : 6;
    for (int i = 0; i < knobs; ++i)
        knob(g, P(panel.getX() + 8 + i * (panel.getWidth() - 16) / (knobs - 1), panel.getCentreY()), 3.2f,
             tweed ? juce::Colour(0xff1a1a1a) : juce::Colour(0xffd8dce2), -0.8f + i * 0.4f);
    const R grille(b.getX() + 5, panel.getBottom() + 3, w - 10, b.getBottom() - panel.getBottom() - 8);
    if (tweed)
        clothGrille(g, grille, d.bodyColour(), 2);
    else
    {
        dotGrille(g, grille, d.trimColour().darker(0.3f), 2.2f);
        litBox(g, R(22, 6).withCentre(P(grille.getCentreX(), grille.getY() + 7)), juce::Colour(0xffd8dce2), 1);
    }
    // Handle on top.
    litBox(g, R(24, 4).withCentre(P(c.x, b.getY() - 2)), juce::Colour(0xff1a1a1a), 2);
}
} // namespace Devices
