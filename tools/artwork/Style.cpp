#include "Style.h"

namespace Style
{
void drawSpacedText(juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area, float spacing,
                    juce::Justification justification)
{
    const juce::Font font = g.getCurrentFont();
    float width = 0.0f;
    for (int i = 0; i < text.length(); ++i)
        width += font.getStringWidthFloat(text.substring(i, i + 1)) + (i + 1 < text.length() ? spacing : 0.0f);
    float x = area.getX();
    if (justification.testFlags(juce::Justification::horizontallyCentred))
        x = area.getCentreX() - width / 2.0f;
    else if (justification.testFlags(juce::Justification::right))
        x = area.getRight() - width;
    const float baseline = area.getCentreY() + font.getAscent() * 0.5f - font.getDescent() * 0.25f;
    for (int i = 0; i < text.length(); ++i)
    {
        const juce::String letter = text.substring(i, i + 1);
        g.drawSingleLineText(letter, juce::roundToInt(x * 4.0f) / 4, juce::roundToInt(baseline));
        x += font.getStringWidthFloat(letter) + spacing;
    }
}

juce::Colour meterColour(float position)
{
    const juce::Colour amber = kAccent;
    if (position < 0.6f)
        return kMeterGreen;
    if (position < 0.85f)
        return kMeterGreen.interpolatedWith(amber, (position - 0.6f) / 0.25f);
    return amber.interpolatedWith(kMeterRed, juce::jmin(1.0f, (position - 0.85f) / 0.12f));
}

float hashNoise(int x, int y, int seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xffffff) / static_cast<float>(0x1000000);
}

void drawGroundShadow(juce::Graphics& g, juce::Rectangle<float> footprint, float alpha)
{
    const juce::Point<float> centre = footprint.getCentre().translated(2.0f, 1.0f);
    juce::ColourGradient shadow(juce::Colours::black.withAlpha(alpha), centre.x, centre.y,
                                juce::Colours::black.withAlpha(0.0f), centre.x + footprint.getWidth() / 2.0f, centre.y,
                                true);
    g.setGradientFill(shadow);
    g.fillEllipse(footprint.translated(2.0f, 1.0f));
}

void fillLit(juce::Graphics& g, const juce::Path& path, juce::Colour base, float contrast)
{
    const juce::Rectangle<float> b = path.getBounds();
    juce::ColourGradient body(base.brighter(contrast), b.getX(), b.getY(), base.darker(contrast * 1.4f),
                              b.getX() + b.getWidth() * 0.35f, b.getBottom(), false);
    body.addColour(0.45, base);
    g.setGradientFill(body);
    g.fillPath(path);
    // Edge light: bright towards the top left, dark towards the bottom right.
    juce::ColourGradient edge(base.brighter(0.9f).withAlpha(0.55f), b.getX(), b.getY(),
                              juce::Colours::black.withAlpha(0.55f), b.getRight(), b.getBottom(), false);
    g.setGradientFill(edge);
    g.strokePath(path, juce::PathStrokeType(0.8f));
}

void fillSphere(juce::Graphics& g, juce::Rectangle<float> area, juce::Colour base)
{
    juce::ColourGradient body(base.brighter(0.7f), area.getX() + area.getWidth() * 0.32f,
                              area.getY() + area.getHeight() * 0.28f, base.darker(0.8f), area.getRight(),
                              area.getBottom(), true);
    body.addColour(0.35, base);
    g.setGradientFill(body);
    g.fillEllipse(area);
}

void dropShadow(juce::Graphics& g, const juce::Path& path, float offset, float alpha)
{
    g.setColour(juce::Colours::black.withAlpha(alpha * 0.5f));
    g.fillPath(path, juce::AffineTransform::translation(offset * 1.6f, offset * 1.6f));
    g.setColour(juce::Colours::black.withAlpha(alpha));
    g.fillPath(path, juce::AffineTransform::translation(offset, offset));
}

juce::Image makeImage(int width, int height, bool rgb)
{
    juce::Image image(rgb ? juce::Image::RGB : juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
    return image;
}
} // namespace Style
