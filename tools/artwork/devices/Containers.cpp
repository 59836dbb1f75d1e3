// Things a voice is heard inside: bins, cans, jars, a glass, pails, a washtub, the water
// cooler bottle, pipes and vacuum tubes.
#include "devices/Families.h"

#include "Style.h"

#include <cmath>

namespace Devices
{
namespace
{
// A metal cylinder seen a little from above: body, horizontal ridges, a rim ellipse.
void metalCylinder(juce::Graphics& g, R b, juce::Colour metal, int ridges, float taper = 0.0f)
{
    juce::Path body;
    body.startNewSubPath(b.getX(), b.getY());
    body.lineTo(b.getRight(), b.getY());
    body.lineTo(b.getRight() - taper, b.getBottom());
    body.quadraticTo(b.getCentreX(), b.getBottom() + 5, b.getX() + taper, b.getBottom());
    body.closeSubPath();
    juce::ColourGradient shade(metal.brighter(0.45f), b.getX() + b.getWidth() * 0.3f, b.getY(), metal.darker(0.6f),
                               b.getRight(), b.getY(), false);
    shade.addColour(0.0, metal.darker(0.2f));
    shade.addColour(0.3, metal.brighter(0.5f));
    g.setGradientFill(shade);
    g.fillPath(body);
    for (int i = 1; i <= ridges; ++i)
    {
        const float y = b.getY() + b.getHeight() * i / (ridges + 1);
        g.setColour(juce::Colours::black.withAlpha(0.3f));
        g.drawLine(b.getX() + 1, y, b.getRight() - 1, y, 1.2f);
        g.setColour(juce::Colours::white.withAlpha(0.25f));
        g.drawLine(b.getX() + 1, y + 1.2f, b.getRight() - 1, y + 1.2f, 0.6f);
    }
}

// Clear glass: a faint fill, bright edges and one long highlight.
void glassShape(juce::Graphics& g, const juce::Path& shape, juce::Colour tint)
{
    g.setColour(tint.withAlpha(0.16f));
    g.fillPath(shape);
    g.setColour(juce::Colours::white.withAlpha(0.6f));
    g.strokePath(shape, juce::PathStrokeType(1.0f));
    const R b = shape.getBounds();
    g.setColour(juce::Colours::white.withAlpha(0.55f));
    g.drawLine(b.getX() + 4, b.getY() + 8, b.getX() + 4, b.getBottom() - 8, 1.6f);
    g.setColour(juce::Colours::white.withAlpha(0.2f));
    g.drawLine(b.getRight() - 5, b.getY() + 10, b.getRight() - 5, b.getBottom() - 12, 1.0f);
}
} // namespace

void trashCan(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    if (d.style == TrashWheelie)
    {
        const R b = R(50, 60).withCentre(c.translated(0, 6));
        floorShadow(g, R(64, 8).withCentre(P(c.x, b.getBottom() + 2)));
        juce::Path bin = polygon({P(b.getX(), b.getY()), P(b.getRight(), b.getY()), P(b.getRight() - 4, b.getBottom()),
                                  P(b.getX() + 4, b.getBottom())});
        litPath(g, bin, d.bodyColour(), 0.35f);
        litBox(g, R(56, 8).withCentre(P(c.x, b.getY() - 2)), d.bodyColour().darker(0.15f), 2); // lid, closed
        litBox(g, R(30, 3).withCentre(P(c.x, b.getY() + 8)), d.bodyColour().darker(0.3f), 1);
        for (const float x : {b.getX() + 2.0f, b.getRight() - 2.0f})
            litEllipse(g, R(12, 12).withCentre(P(x, b.getBottom() - 2)), d.trimColour(), 0.4f);
        return;
    }
    const R b = R(52, 56).withCentre(c.translated(0, 8));
    floorShadow(g, R(66, 8).withCentre(P(c.x, b.getBottom() + 3)));
    metalCylinder(g, b, d.bodyColour(), 4, 4);
    // The lid lying askew on top, with its handle.
    juce::Path lid;
    lid.addEllipse(-30, -7, 60, 14);
    lid.applyTransform(juce::AffineTransform::rotation(-0.18f).translated(c.x + 6, b.getY() - 4));
    litPath(g, lid, d.bodyColour().brighter(0.15f), 0.4f);
    g.setColour(d.trimColour());
    g.drawLine(c.x, b.getY() - 8, c.x + 12, b.getY() - 10, 2.4f);
}

void drinkingGlass(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    floorShadow(g, R(46, 8).withCentre(P(c.x, a.getBottom() - 2)));
    juce::Path shape = polygon({P(c.x - 20, a.getY() + 4), P(c.x + 20, a.getY() + 4), P(c.x + 16, a.getBottom() - 4),
                                P(c.x - 16, a.getBottom() - 4)});
    juce::Path water = polygon({P(c.x - 18, c.y + 12), P(c.x + 18, c.y + 12), P(c.x + 16, a.getBottom() - 4),
                                P(c.x - 16, a.getBottom() - 4)});
    g.setColour(d.trimColour().withAlpha(0.45f));
    g.fillPath(water);
    g.setColour(juce::Colours::white.withAlpha(0.5f));
    g.drawEllipse(R(36, 4).withCentre(P(c.x, c.y + 12)), 0.8f);
    glassShape(g, shape, d.bodyColour());
    g.setColour(juce::Colours::white.withAlpha(0.5f));
    g.drawEllipse(R(40, 6).withCentre(P(c.x, a.getY() + 4)), 1.0f);
}

void glassJar(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    float w = 40, h = 64, neck = 30;
    if (d.style == JarJam) { w = 46; h = 44; neck = 38; }
    if (d.style == JarPickle) { w = 56; h = 60; neck = 50; }
    const float bottom = a.getBottom() - 2;
    const P centre(d.style == JarPickle ? c.x - 12 : c.x, 0);
    floorShadow(g, R(w + 10, 8).withCentre(P(centre.x, bottom)));
    juce::Path jar;
    jar.addRoundedRectangle(centre.x - w / 2, bottom - h, w, h, 7);
    glassShape(g, jar, d.bodyColour());
    if (d.style == JarMason) // raised lettering band and a screw lid
    {
        g.setColour(juce::Colours::white.withAlpha(0.3f));
        g.drawRoundedRectangle(R(w - 14, 14).withCentre(P(centre.x, bottom - h * 0.5f)), 3, 0.8f);
    }
    const R lidArea = R(neck, d.style == JarMason ? 10.0f : 8.0f).withCentre(P(centre.x, bottom - h - 3));
    if (d.style == JarPickle)
    {
        // The wide lid off, leaning against the jar; pickles inside.
        for (int i = 0; i < 4; ++i)
            litEllipse(g, R(12, 28).withCentre(P(centre.x - 16 + i * 11.0f, bottom - 20)), d.trimColour(), 0.4f);
        glassShape(g, jar, d.bodyColour());
        juce::Path lid;
        lid.addEllipse(-8, -24, 16, 48);
        lid.applyTransform(juce::AffineTransform::rotation(0.15f).translated(centre.x + w / 2 + 14, bottom - 24));
        litPath(g, lid, juce::Colour(0xffd8c040), 0.45f);
        return;
    }
    for (int i = 0; i < (d.style == JarMason ? 4 : 2); ++i)
        g.drawHorizontalLine(static_cast<int>(lidArea.getY() + 2 + i * 2.0f), lidArea.getX(), lidArea.getRight());
    litBox(g, lidArea, d.trimColour(), 2, 0.45f);
    if (d.style == JarMason)
    {
        g.setColour(juce::Colours::black.withAlpha(0.35f));
        for (int i = 0; i < 3; ++i)
            g.drawHorizontalLine(static_cast<int>(lidArea.getY() + 2 + i * 3.0f), lidArea.getX() + 1, lidArea.getRight() - 1);
    }
    else
    {
        // A checked cloth over the lid, tied with string.
        juce::Path cloth;
        cloth.startNewSubPath(lidArea.getX() - 8, lidArea.getBottom() + 6);
        cloth.quadraticTo(lidArea.getX() - 4, lidArea.getY() - 4, centre.x, lidArea.getY() - 5);
        cloth.quadraticTo(lidArea.getRight() + 4, lidArea.getY() - 4, lidArea.getRight() + 8, lidArea.getBottom() + 6);
        cloth.closeSubPath();
        g.setColour(juce::Colours::white);
        g.fillPath(cloth);
        juce::Graphics::ScopedSaveState state(g);
        g.reduceClipRegion(cloth);
        g.setColour(d.trimColour());
        for (float x = lidArea.getX() - 8; x < lidArea.getRight() + 8; x += 6)
            g.fillRect(R(x, lidArea.getY() - 6, 3, 20));
        g.setColour(d.trimColour().withAlpha(0.6f));
        for (float y = lidArea.getY() - 6; y < lidArea.getBottom() + 8; y += 6)
            g.fillRect(R(lidArea.getX() - 8, y, w + 16, 3));
    }
}

void pail(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const R b = R(56, 48).withCentre(c.translated(0, 10));
    floorShadow(g, R(60, 8).withCentre(P(c.x, b.getBottom() + 2)));
    if (d.style == PailNew) // the wire handle standing up
    {
        g.setColour(juce::Colour(0xff9a9ea4));
        arc(g, R(b.getX() + 2, b.getY() - 34, b.getWidth() - 4, 64), -1.45f, 1.45f, 1.6f);
    }
    metalCylinder(g, b, d.bodyColour(), 2, 8);
    g.setColour(d.bodyColour().darker(0.5f));
    g.fillEllipse(R(b.getWidth(), 10).withCentre(P(c.x, b.getY())));
    g.setColour(d.bodyColour().brighter(0.5f));
    g.drawEllipse(R(b.getWidth(), 10).withCentre(P(c.x, b.getY())), 1.4f);
    if (d.style == PailDented)
    {
        // A dent, rust spots, the handle hanging down the side.
        juce::ColourGradient dent(juce::Colours::black.withAlpha(0.45f), c.x + 8, c.y + 12, juce::Colours::transparentBlack,
                                  c.x + 18, c.y + 12, true);
        g.setGradientFill(dent);
        g.fillEllipse(R(22, 18).withCentre(P(c.x + 8, c.y + 12)));
        for (int i = 0; i < 7; ++i)
        {
            g.setColour(d.trimColour().withAlpha(0.8f));
            g.fillEllipse(R(3 + 3 * Style::hashNoise(i, 2, 6), 2 + 2 * Style::hashNoise(i, 3, 6))
                              .withCentre(P(b.getX() + 6 + 44 * Style::hashNoise(i, 4, 6), b.getY() + 6 + 36 * Style::hashNoise(i, 5, 6))));
        }
        g.setColour(juce::Colour(0xff7a7e84));
        arc(g, R(b.getX() - 4, b.getY() - 2, 20, 40), 3.3f, 5.0f, 1.6f);
    }
}

void tinCan(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const R b = R(38, 52).withCentre(c.translated(-8, 8));
    floorShadow(g, R(44, 8).withCentre(P(b.getCentreX(), b.getBottom() + 2)));
    metalCylinder(g, b, d.bodyColour(), 5);
    litBox(g, R(b.getX(), b.getY() + 14, b.getWidth(), 22), d.trimColour(), 0, 0.35f); // paper label
    g.setColour(d.bodyColour().darker(0.6f));
    g.fillEllipse(R(b.getWidth(), 8).withCentre(P(b.getCentreX(), b.getY())));
    // The peeled lid bent back, and a string running from a hole in the bottom.
    juce::Path lid;
    lid.addEllipse(-18, -4, 36, 8);
    lid.applyTransform(juce::AffineTransform::rotation(-1.1f).translated(b.getRight() + 2, b.getY() - 12));
    litPath(g, lid, d.bodyColour().brighter(0.3f), 0.5f);
    cord(g, P(b.getCentreX(), b.getBottom()), P(a.getRight() + 4, a.getY() + 18), 22, juce::Colour(0xffd8c8a0), false, 1.0f);
}

void washTub(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const R b = R(96, 36).withCentre(c.translated(0, 14));
    floorShadow(g, R(104, 10).withCentre(P(c.x, b.getBottom() + 2)));
    metalCylinder(g, b, d.bodyColour(), 2, 8);
    g.setColour(d.bodyColour().darker(0.5f));
    g.fillEllipse(R(b.getWidth(), 22).withCentre(P(c.x, b.getY())));
    g.setColour(d.bodyColour().brighter(0.5f));
    g.drawEllipse(R(b.getWidth(), 22).withCentre(P(c.x, b.getY())), 2.0f);
    for (const float x : {b.getX() - 4.0f, b.getRight() + 4.0f}) // side handles
    {
        g.setColour(d.trimColour());
        g.drawRoundedRectangle(R(10, 8).withCentre(P(x, b.getY() + 8)), 3, 2.0f);
    }
}

void waterCooler(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    const R stand = R(36, 34).withCentre(P(c.x, a.getBottom() - 17));
    floorShadow(g, R(46, 8).withCentre(P(c.x, stand.getBottom())));
    litBox(g, stand, d.trimColour(), 3, 0.25f);
    litBox(g, R(5, 5).withCentre(P(c.x - 7, stand.getY() + 10)), juce::Colour(0xff3a7ac8), 1);
    litBox(g, R(5, 5).withCentre(P(c.x + 7, stand.getY() + 10)), juce::Colour(0xffd0302a), 1);
    // The bottle upside down: neck in the stand, ribs around it, water inside.
    juce::Path bottle;
    bottle.addRoundedRectangle(c.x - 22, a.getY() - 2, 44, 40, 14);
    bottle.addRectangle(c.x - 6, a.getY() + 34, 12, 8);
    g.setColour(d.bodyColour().withAlpha(0.6f));
    g.fillPath(bottle);
    g.setColour(juce::Colours::white.withAlpha(0.55f));
    g.strokePath(bottle, juce::PathStrokeType(0.9f));
    for (int i = 1; i < 3; ++i)
        g.drawHorizontalLine(static_cast<int>(a.getY() + i * 12.0f), c.x - 21, c.x + 21);
    g.drawLine(c.x - 16, a.getY() + 4, c.x - 16, a.getY() + 30, 1.8f);
}

void tube(juce::Graphics& g, R a, const Device& d)
{
    const P c = a.getCentre();
    switch (d.style)
    {
    case TubeHose:
    {
        // Ribbed black hose in a loose coil, ending in a wand.
        juce::Path hose;
        hose.startNewSubPath(a.getX() + 4, c.y + 20);
        hose.cubicTo(a.getX() + 10, a.getY() - 10, c.x + 40, a.getY() - 4, c.x + 20, c.y + 10);
        hose.cubicTo(c.x + 4, c.y + 30, c.x - 30, c.y + 20, c.x - 10, c.y);
        floorShadow(g, R(110, 10).withCentre(P(c.x, a.getBottom() - 4)));
        juce::Path stroke;
        juce::PathStrokeType(8.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded).createStrokedPath(stroke, hose);
        litPath(g, stroke, d.bodyColour(), 0.5f);
        // A faint rib across the hose at every point of its flattened centre line, square to the
        // line there; the rib at the loose end stands upright.
        g.setColour(juce::Colours::white.withAlpha(0.18f));
        juce::PathFlatteningIterator it(hose, {}, 0.5f);
        for (bool atEnd = true; it.next(); atEnd = false)
        {
            const P from(it.x1, it.y1), now(it.x2, it.y2);
            const P dir = atEnd ? P(1.0f, 0.0f) : (now - from) / std::max(0.01f, from.getDistanceFrom(now));
            g.drawLine(juce::Line<float>(now + P(-dir.y, dir.x) * 3.8f, now - P(-dir.y, dir.x) * 3.8f), 0.8f);
        }
        litBox(g, R(30, 6).withCentre(P(c.x - 22, c.y - 2)).withX(c.x - 40), d.trimColour(), 3);
        break;
    }
    case TubePvc:
    {
        // White pipe with an elbow joint, its open end facing us.
        floorShadow(g, R(110, 10).withCentre(P(c.x, a.getBottom() - 4)));
        litBox(g, R(70, 16).withCentre(P(c.x - 18, a.getBottom() - 16)), d.bodyColour(), 3, 0.35f);
        litBox(g, R(22, 22).withCentre(P(c.x + 22, a.getBottom() - 18)), d.trimColour(), 4, 0.35f);
        litBox(g, R(16, 40).withCentre(P(c.x + 22, c.y - 8)), d.bodyColour(), 3, 0.35f);
        litEllipse(g, R(24, 26).withCentre(P(c.x + 22, a.getY() + 6)), d.bodyColour().brighter(0.1f));
        g.setColour(juce::Colour(0xff2a2a2c));
        g.fillEllipse(R(16, 18).withCentre(P(c.x + 22, a.getY() + 6)));
        litEllipse(g, R(10, 16).withCentre(P(c.x - 54, a.getBottom() - 16)), d.bodyColour());
        g.setColour(juce::Colour(0xff2a2a2c));
        g.fillEllipse(R(6, 11).withCentre(P(c.x - 54, a.getBottom() - 16)));
        break;
    }
    default:
    {
        // Grey extension wand coming down at a slant into a floor nozzle with bristles.
        floorShadow(g, R(110, 10).withCentre(P(c.x, a.getBottom() - 4)));
        const P top(a.getX() + 14, a.getY() + 4), foot(c.x + 22, a.getBottom() - 20);
        juce::Path wand;
        wand.startNewSubPath(top);
        wand.lineTo(foot);
        juce::Path wandStroke;
        juce::PathStrokeType(7.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded).createStrokedPath(wandStroke, wand);
        litPath(g, wandStroke, d.bodyColour(), 0.5f);
        // Joint collars along the wand and the hose cuff at its top.
        for (const float t : {0.08f, 0.52f})
        {
            const P at = top + (foot - top) * t;
            juce::Path collar;
            collar.addRoundedRectangle(-6, -3, 12, 6, 2);
            collar.applyTransform(juce::AffineTransform::rotation(std::atan2(foot.y - top.y, foot.x - top.x) + 1.5708f)
                                      .translated(at.x, at.y));
            litPath(g, collar, d.trimColour(), 0.4f);
        }
        // The floor nozzle: a wide head on the floor, its neck swivelling up to the wand.
        litBox(g, R(10, 12).withCentre(foot.translated(2, 4)), d.trimColour(), 3);
        const R head(c.x - 12, a.getBottom() - 14, 66, 12);
        juce::Path nozzle;
        nozzle.addRoundedRectangle(head, 4);
        litPath(g, nozzle, d.trimColour().brighter(0.15f), 0.4f);
        g.setColour(juce::Colour(0xff8a6a3a));
        for (float x = head.getX() + 3; x < head.getRight() - 3; x += 2.0f)
            g.drawVerticalLine(static_cast<int>(x), head.getBottom() - 1, head.getBottom() + 2);
        for (const float x : {head.getX() + 6, head.getRight() - 6})
            litEllipse(g, R(5, 5).withCentre(P(x, head.getBottom())), juce::Colour(0xff1a1a1c));
        break;
    }
    }
}
} // namespace Devices
