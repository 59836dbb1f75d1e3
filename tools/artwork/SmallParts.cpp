// Fader pieces, step arrows, lamps, on/off buttons and the lit radio buttons.
#include "Parts.h"
#include "Style.h"

using Style::makeImage;

juce::Image drawFaderFill(const Artwork::ImageSpec& spec)
{
    // The lit part of the groove: accent at 70 %, brighter along its top edge.
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    const auto area = image.getBounds().toFloat().reduced(0.0f, 1.0f);
    juce::ColourGradient fill(Style::kAccent.brighter(0.25f).withAlpha(0.8f), 0.0f, area.getY(),
                              Style::kAccent.darker(0.35f).withAlpha(0.7f), 0.0f, area.getBottom(), false);
    g.setGradientFill(fill);
    g.fillRoundedRectangle(area, 1.5f);
    g.setColour(juce::Colours::white.withAlpha(0.35f));
    g.drawHorizontalLine(1, 1.0f, static_cast<float>(spec.width) - 1.0f);
    return image;
}

juce::Image drawFaderCap(const Artwork::ImageSpec& spec)
{
    // A small metal block with a dark centre line.
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    const auto area = image.getBounds().toFloat();
    juce::ColourGradient metal(juce::Colour(0xffe8e8ea), 0.0f, 0.0f, juce::Colour(0xff7a7b80), 0.0f, area.getBottom(),
                               false);
    g.setGradientFill(metal);
    g.fillRoundedRectangle(area.reduced(0.5f), 1.2f);
    g.setColour(juce::Colour(0xff2a2a2e));
    g.drawRoundedRectangle(area.reduced(0.5f), 1.2f, 0.8f);
    g.fillRect(juce::Rectangle<float>(area.getCentreX() - 0.5f, 1.0f, 1.0f, area.getHeight() - 2.0f));
    return image;
}

juce::Image drawStepButton(const Artwork::ImageSpec& spec, bool up, bool pressed)
{
    // A triangle in a dark rounded square; pressed is inset and brighter.
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    g.fillAll(Style::kPanel);
    const auto area = image.getBounds().toFloat().reduced(0.5f);
    juce::ColourGradient face(pressed ? juce::Colour(0xff2a2b2f) : juce::Colour(0xff4a4b50), 0.0f, 0.0f,
                              pressed ? juce::Colour(0xff3a3b40) : juce::Colour(0xff2c2d31), 0.0f, area.getBottom(),
                              false);
    g.setGradientFill(face);
    g.fillRoundedRectangle(area, 2.0f);
    g.setColour(pressed ? juce::Colours::black.withAlpha(0.6f) : juce::Colours::white.withAlpha(0.18f));
    g.drawHorizontalLine(pressed ? 1 : 0, 1.0f, area.getRight() - 1.0f);
    juce::Path arrow;
    const float cx = area.getCentreX() + (pressed ? 0.5f : 0.0f), cy = area.getCentreY() + (pressed ? 0.5f : 0.0f);
    if (up) // the next-device arrow points right
        arrow.addTriangle(cx - 2.0f, cy - 3.5f, cx - 2.0f, cy + 3.5f, cx + 2.8f, cy);
    else
        arrow.addTriangle(cx + 2.0f, cy - 3.5f, cx + 2.0f, cy + 3.5f, cx - 2.8f, cy);
    g.setColour(pressed ? Style::kAccent : juce::Colour(0xffc8c8c8));
    g.fillPath(arrow);
    return image;
}

juce::Image drawEnableLamp(const Artwork::ImageSpec& spec)
{
    // A small round amber light with a bright centre and a soft glow around it.
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    const float cx = spec.width / 2.0f, cy = spec.height / 2.0f;
    juce::ColourGradient glow(Style::kAccent.withAlpha(0.55f), cx, cy, Style::kAccent.withAlpha(0.0f), cx + 9.0f, cy,
                              true);
    g.setGradientFill(glow);
    g.fillEllipse(0.0f, 0.0f, static_cast<float>(spec.width), static_cast<float>(spec.height));
    juce::ColourGradient lamp(juce::Colour(0xfffff4d8), cx - 0.8f, cy - 0.8f, Style::kAccent.darker(0.2f), cx + 3.5f,
                              cy + 3.5f, true);
    g.setGradientFill(lamp);
    g.fillEllipse(cx - 3.5f, cy - 3.5f, 7.0f, 7.0f);
    return image;
}

juce::Image drawEnableButton(const Artwork::ImageSpec& spec)
{
    // The on/off button when on: a lit amber bar in its bezel.
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    const auto area = image.getBounds().toFloat();
    g.setColour(juce::Colour(0xff121214));
    g.fillRoundedRectangle(area, 2.5f);
    const auto bar = area.reduced(2.5f, 3.5f);
    juce::ColourGradient glow(Style::kAccent.withAlpha(0.5f), bar.getCentreX(), bar.getCentreY(),
                              Style::kAccent.withAlpha(0.0f), bar.getRight() + 2.0f, bar.getCentreY(), true);
    g.setGradientFill(glow);
    g.fillRoundedRectangle(area.reduced(1.0f), 2.0f);
    juce::ColourGradient lit(juce::Colour(0xffffe3a8), 0.0f, bar.getY(), Style::kAccent.darker(0.15f), 0.0f,
                             bar.getBottom(), false);
    g.setGradientFill(lit);
    g.fillRoundedRectangle(bar, 1.5f);
    return image;
}

juce::Image drawLitButton(const Artwork::ImageSpec& spec, const char* legend)
{
    // Dark legend on an amber, softly glowing face. The LPF image is one pixel narrower than
    // its 28 x 15 button; its face is whole within its own width.
    juce::Image image = makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    const auto face = image.getBounds().toFloat().reduced(1.5f);
    g.setColour(Style::kAccent.withAlpha(0.35f));
    g.fillRoundedRectangle(face.expanded(1.0f), 3.0f);
    juce::ColourGradient lit(juce::Colour(0xffffd28a), 0.0f, face.getY(), Style::kAccent.darker(0.25f), 0.0f,
                             face.getBottom(), false);
    g.setGradientFill(lit);
    g.fillRoundedRectangle(face, 2.0f);
    g.setColour(juce::Colours::white.withAlpha(0.45f));
    g.drawHorizontalLine(2, face.getX() + 2.0f, face.getRight() - 2.0f);
    g.setColour(juce::Colour(0xff2a1a05));
    g.setFont(Style::sans(9.5f, true));
    g.drawText(legend, face.translated(0.0f, 0.5f), juce::Justification::centred, false);
    return image;
}
