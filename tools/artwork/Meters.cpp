// Bar meters, clip lights, the distortion meter's dial and the noise visualiser.
#include "Parts.h"
#include "Style.h"

using Style::makeImage;

juce::Image drawBarMeter(const Artwork::ImageSpec& spec, bool gainReduction)
{
    // The fully lit meter; the meter shows the part of it that its level reaches. Segments
    // run along the long side: bottom to top for the tall meters, left to right otherwise.
    // Gain reduction meters are one amber colour (they grow from the other end).
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    const bool vertical = spec.height > spec.width;
    const int length = vertical ? spec.height : spec.width;
    const int pitch = vertical ? 3 : 2;
    for (int start = 0; start < length; start += pitch)
    {
        const float position = (start + 0.5f * pitch) / static_cast<float>(length);
        const juce::Colour colour = gainReduction ? Style::kAccent : Style::meterColour(position);
        const int segment = pitch - 1;
        juce::Rectangle<float> r = vertical
                                       ? juce::Rectangle<float>(1.0f, static_cast<float>(length - start - segment),
                                                                spec.width - 2.0f, static_cast<float>(segment))
                                       : juce::Rectangle<float>(static_cast<float>(start), 0.0f,
                                                                static_cast<float>(segment), static_cast<float>(spec.height));
        juce::ColourGradient lit(colour.brighter(0.35f), r.getX(), r.getY(), colour.darker(0.15f),
                                 vertical ? r.getRight() : r.getX(), vertical ? r.getY() : r.getBottom(), false);
        g.setGradientFill(lit);
        g.fillRect(r);
    }
    return image;
}

juce::Image drawClipLight(const Artwork::ImageSpec& spec)
{
    // A red light with a bright core, lit when the channel clipped.
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    const auto area = image.getBounds().toFloat().reduced(1.0f, 2.0f);
    juce::ColourGradient lit(juce::Colour(0xffffc8b8), area.getCentreX() - 1.0f, area.getY() + 4.0f, Style::kMeterRed,
                             area.getRight(), area.getBottom(), true);
    g.setGradientFill(lit);
    g.fillRoundedRectangle(area, 2.0f);
    g.setColour(juce::Colours::white.withAlpha(0.5f));
    g.drawHorizontalLine(static_cast<int>(area.getY()) + 1, area.getX() + 2.0f, area.getRight() - 2.0f);
    return image;
}

namespace
{
void drawDial(juce::Graphics& g, juce::Rectangle<float> frame, int frameIndex, int frames)
{
    // A small analogue dial in a bezel: a printed arc scale, an amber backlight that grows
    // warmer with the frame, and a needle from left to right.
    const float warmth = frameIndex / static_cast<float>(frames - 1);
    g.setColour(juce::Colour(0xff141416));
    g.fillRect(frame);
    juce::ColourGradient bezel(juce::Colour(0xff5a5b60), frame.getX(), frame.getY(), juce::Colour(0xff18181b),
                               frame.getRight(), frame.getBottom(), false);
    g.setGradientFill(bezel);
    g.fillRoundedRectangle(frame.reduced(1.0f), 4.0f);
    const auto face = frame.reduced(4.0f, 5.0f);
    const juce::Colour cool(0xffcfa45a), hot(0xffff8a2a);
    const juce::Colour light = cool.interpolatedWith(hot, warmth);
    juce::ColourGradient backlight(light.brighter(0.3f + 0.4f * warmth), face.getCentreX(), face.getBottom() - 8.0f,
                                   light.darker(0.9f - 0.4f * warmth), face.getCentreX(), face.getY() - 10.0f, true);
    g.setGradientFill(backlight);
    g.fillRoundedRectangle(face, 2.5f);

    // Scale: ticks on an arc around the needle's pivot near the bottom; the narrow face
    // leaves the needle a sweep of 44 degrees.
    const juce::Point<float> pivot(face.getCentreX(), face.getBottom() - 9.0f);
    const float radius = std::min(40.0f, (face.getWidth() / 2.0f - 1.5f) / std::sin(juce::degreesToRadians(22.0f)));
    const float sweep = juce::degreesToRadians(44.0f);
    g.setColour(juce::Colour(0xff2a1606));
    for (int tick = 0; tick <= 10; ++tick)
    {
        const float a = -sweep / 2.0f + sweep * tick / 10.0f;
        const float inner = radius - (tick % 5 == 0 ? 7.0f : 4.0f);
        const juce::Point<float> dir(std::sin(a), -std::cos(a));
        g.drawLine(juce::Line<float>(pivot + dir * inner, pivot + dir * radius), tick % 5 == 0 ? 1.2f : 0.8f);
    }
    juce::Path arc;
    arc.addCentredArc(pivot.x, pivot.y, radius, radius, 0.0f, -sweep / 2.0f, sweep / 2.0f, true);
    g.strokePath(arc, juce::PathStrokeType(0.8f));
    // The red zone at the top of the scale.
    juce::Path red;
    red.addCentredArc(pivot.x, pivot.y, radius - 1.5f, radius - 1.5f, 0.0f, sweep * 0.25f, sweep / 2.0f, true);
    g.setColour(juce::Colour(0xffc0281c));
    g.strokePath(red, juce::PathStrokeType(2.5f));

    g.setColour(juce::Colour(0xff2a1606));
    g.setFont(Style::sans(9.0f, true));
    g.drawText("DIST", face.withHeight(14.0f).translated(0.0f, 3.0f), juce::Justification::centred);

    // Needle.
    const float angle = -sweep / 2.0f + sweep * warmth;
    const juce::Point<float> tip = pivot + juce::Point<float>(std::sin(angle), -std::cos(angle)) * (radius - 1.0f);
    g.setColour(juce::Colours::black.withAlpha(0.35f));
    g.drawLine(juce::Line<float>(pivot.translated(1.0f, 1.0f), tip.translated(1.0f, 1.0f)), 1.3f);
    g.setColour(juce::Colour(0xff1a0d04));
    g.drawLine(juce::Line<float>(pivot, tip), 1.3f);
    Style::fillSphere(g, juce::Rectangle<float>(7.0f, 7.0f).withCentre(pivot), juce::Colour(0xff303033));
    // Glass: a soft reflection across the top left.
    juce::ColourGradient glass(juce::Colours::white.withAlpha(0.22f), face.getX(), face.getY(),
                               juce::Colours::white.withAlpha(0.0f), face.getCentreX(), face.getCentreY(), false);
    g.setGradientFill(glass);
    g.fillRoundedRectangle(face, 2.5f);
}
} // namespace

juce::Image drawDistortionMeter(const Artwork::ImageSpec& spec)
{
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    for (int frame = 0; frame < spec.frames; ++frame)
    {
        const juce::Rectangle<int> area(frame * spec.frameWidth(), 0, spec.frameWidth(), spec.height);
        juce::Graphics::ScopedSaveState state(g);
        g.reduceClipRegion(area);
        drawDial(g, area.toFloat(), frame, spec.frames);
    }
    return image;
}

juce::Image drawNoiseVisualiser(const Artwork::ImageSpec& spec)
{
    // Static in a dark window: the density and brightness of the snow grow with the frame.
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    const int fh = spec.frameHeight();
    for (int frame = 0; frame < spec.frames; ++frame)
    {
        const float level = frame / static_cast<float>(spec.frames - 1);
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < spec.width; ++x)
            {
                const float n = Style::hashNoise(x, y, frame * 7 + 1);
                const float edge = (x == 0 || y == 0 || x == spec.width - 1 || y == fh - 1) ? 0.0f : 1.0f;
                const float density = 0.05f + 0.9f * level;
                float v = n < density ? (0.25f + 0.75f * Style::hashNoise(x, y, frame * 13 + 5)) * (0.35f + 0.65f * level)
                                      : 0.04f;
                v *= edge;
                const juce::Colour snow = juce::Colour(0xff0e0f11).interpolatedWith(juce::Colour(0xffe8f0ff), v);
                image.setPixelAt(x, frame * fh + y, edge > 0.0f ? snow : juce::Colour(0xff0a0a0c));
            }
    }
    return image;
}
