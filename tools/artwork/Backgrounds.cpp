// The two backgrounds (stereo and mono meters): the faceplate with its section panels,
// titles, legends and the unlit faces of every lamp, button, window and meter, all placed
// from the editor's layout table.
#include "Parts.h"
#include "Style.h"

#include <cmath>
#include <cstring>

namespace
{
using EditorLayout::Control;
using EditorLayout::Look;
using EditorLayout::Rect;
using P = juce::Point<float>;

juce::Rectangle<float> toFloat(const Rect& r)
{
    return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.w), static_cast<float>(r.h)};
}

// Graphite with a fine vertical brushing: noise stretched along y, low contrast.
void brushedPlate(juce::Image& image)
{
    juce::Image::BitmapData pixels(image, juce::Image::BitmapData::writeOnly);
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const float t = (y % 37) / 37.0f;
            const float streak = Style::hashNoise(x, y / 37, 3) * (1.0f - t) + Style::hashNoise(x, y / 37 + 1, 3) * t;
            const float grain = Style::hashNoise(x, y, 9);
            const float v = (streak - 0.5f) * 0.10f + (grain - 0.5f) * 0.035f;
            // Slightly lighter towards the top left, where the light comes from.
            const float light = 0.04f * (1.0f - (x + y) / static_cast<float>(image.getWidth() + image.getHeight()));
            pixels.setPixelColour(x, y, Style::kPlate.brighter(juce::jmax(0.0f, v + light)).darker(juce::jmax(0.0f, -v)));
        }
}

void screw(juce::Graphics& g, juce::Point<float> c, float slotAngle)
{
    Style::fillSphere(g, juce::Rectangle<float>(9.0f, 9.0f).withCentre(c), juce::Colour(0xff8a8c92));
    g.setColour(juce::Colours::black.withAlpha(0.5f));
    g.drawEllipse(juce::Rectangle<float>(9.0f, 9.0f).withCentre(c), 0.7f);
    const juce::Point<float> d(3.2f * std::cos(slotAngle), 3.2f * std::sin(slotAngle));
    g.setColour(juce::Colour(0xff202124));
    g.drawLine(juce::Line<float>(c - d, c + d), 1.4f);
    g.setColour(juce::Colours::white.withAlpha(0.3f));
    g.drawLine(juce::Line<float>(c - d, c + d).withShortenedStart(0.5f), 0.5f);
}

// A section panel recessed into the plate: darker top/left inner edge, lighter bottom/right.
void recessedPanel(juce::Graphics& g, juce::Rectangle<float> r, float corner = 5.0f)
{
    juce::ColourGradient fill(Style::kPanel.brighter(0.08f), r.getX(), r.getY(), Style::kPanel.darker(0.1f),
                              r.getX(), r.getBottom(), false);
    g.setGradientFill(fill);
    g.fillRoundedRectangle(r, corner);
    g.setColour(juce::Colours::white.withAlpha(0.09f));
    g.drawRoundedRectangle(r.translated(0.5f, 0.5f), corner, 1.0f);
    g.setColour(juce::Colours::black.withAlpha(0.55f));
    g.drawRoundedRectangle(r.translated(-0.5f, -0.5f).withTrimmedRight(0.5f).withTrimmedBottom(0.5f), corner, 1.0f);
}

// A small window sunk into a panel: value displays, the menu, meters' housings.
void window(juce::Graphics& g, juce::Rectangle<float> r, juce::Colour inside, float corner = 2.0f)
{
    g.setColour(juce::Colours::white.withAlpha(0.08f));
    g.drawRoundedRectangle(r.expanded(1.0f).translated(0.5f, 0.5f), corner + 1.0f, 1.0f);
    g.setColour(juce::Colours::black.withAlpha(0.7f));
    g.fillRoundedRectangle(r.expanded(1.0f), corner + 1.0f);
    g.setColour(inside);
    g.fillRoundedRectangle(r, corner);
    g.setColour(juce::Colours::black.withAlpha(0.35f));
    g.drawHorizontalLine(static_cast<int>(r.getY()), r.getX() + 1.0f, r.getRight() - 1.0f);
}

void valueWindow(juce::Graphics& g, const Control& c)
{
    const auto r = toFloat(c.bounds);
    if (c.look == Look::ValueLabelDark)
    {
        // A lit window for dark text: warm backlight, brighter in the middle.
        window(g, r, Style::kLcd.darker(0.1f));
        juce::ColourGradient glow(Style::kLcd.brighter(0.25f), r.getCentreX(), r.getCentreY(), Style::kLcd.darker(0.15f),
                                  r.getX(), r.getY(), true);
        g.setGradientFill(glow);
        g.fillRoundedRectangle(r.reduced(1.0f), 1.5f);
    }
    else
        window(g, r, juce::Colour(0xff0f1012));
}

void knobScale(juce::Graphics& g, const Control& c)
{
    const auto geometry = EditorLayout::knobGeometry(c.look);
    const juce::Point<float> centre(c.bounds.x + geometry.centreX, c.bounds.y + geometry.centreY);
    const bool large = geometry.radius > 20.0f;
    const int ticks = 11;
    for (int i = 0; i < ticks; ++i)
    {
        if (i == ticks / 2)
            continue; // twelve o'clock is where the legend stands
        const float a = juce::degreesToRadians(-150.0f + 300.0f * i / (ticks - 1));
        const juce::Point<float> dir(std::sin(a), -std::cos(a));
        const bool major = i == 0 || i == ticks - 1;
        const float inner = geometry.radius + (large ? 2.5f : 2.0f);
        const float outer = inner + (major ? (large ? 3.5f : 3.0f) : (large ? 2.0f : 1.5f));
        g.setColour(Style::kLegend.withAlpha(major ? 0.9f : 0.55f));
        g.drawLine(juce::Line<float>(centre + dir * inner, centre + dir * outer), large ? 1.2f : 1.0f);
    }
}

void faderSlot(juce::Graphics& g, const Control& c)
{
    const auto r = toFloat(c.bounds);
    window(g, r.reduced(0.0f, 0.5f), juce::Colour(0xff08090a), 2.0f);
}

void unlitImage(juce::Graphics& g, const Control& c, const juce::Image& lit, float opacity, juce::Colour socket)
{
    const auto r = toFloat(c.bounds);
    g.setColour(socket);
    g.fillRoundedRectangle(r, 1.5f);
    g.setOpacity(opacity);
    g.drawImage(lit, r, juce::RectanglePlacement::stretchToFit);
    g.setOpacity(1.0f);
}

const Artwork::ImageSpec& spec(const char* name) { return *Artwork::findImageSpec(name); }

void meter(juce::Graphics& g, const Control& c, EditorLayout::Channels layout)
{
    const bool mono = layout == EditorLayout::Channels::Mono;
    const auto starts = [&c](const char* prefix) { return std::strncmp(c.id, prefix, std::strlen(prefix)) == 0; };
    juce::Image lit;
    if (starts("InputMeter") || starts("OutputMeter"))
        lit = drawBarMeter(spec("Meter_IO_thinner_png"), false);
    else if (starts("DuckInput"))
        lit = drawBarMeter(spec(mono ? "Meter_Duck_Input_mono_png" : "Meter_Duck_Input_stereo_png"), false);
    else if (starts("DuckGain"))
        lit = drawBarMeter(spec(mono ? "Meter_Duck_GainReduction_mono_png" : "Meter_Duck_GainReduction_stereo_png"), true);
    else if (starts("GateInput"))
        lit = drawBarMeter(spec(mono ? "Meter_Gate_Input_mono_png" : "Meter_Gate_Input_stereo_png"), false);
    else
        lit = drawBarMeter(spec(mono ? "Meter_Gate_GainReduction_mono_png" : "Meter_Gate_GainReduction_stereo_png"), true);
    unlitImage(g, c, lit, 0.15f, juce::Colour(0xff060607));
}

void radioFace(juce::Graphics& g, const Control& c)
{
    const auto face = toFloat(c.bounds).reduced(1.5f);
    juce::ColourGradient body(juce::Colour(0xff3c3d42), 0.0f, face.getY(), juce::Colour(0xff232428), 0.0f,
                              face.getBottom(), false);
    g.setColour(juce::Colours::black.withAlpha(0.7f));
    g.fillRoundedRectangle(face.expanded(1.0f), 3.0f);
    g.setGradientFill(body);
    g.fillRoundedRectangle(face, 2.0f);
    g.setColour(juce::Colours::white.withAlpha(0.12f));
    g.drawHorizontalLine(juce::roundToInt(face.getY()), face.getX() + 2.0f, face.getRight() - 2.0f);
    g.setColour(Style::kLegend);
    g.setFont(Style::sans(9.5f, true));
    g.drawText(c.legend, face.translated(0.0f, 0.5f), juce::Justification::centred, false);
}

void controlFurniture(juce::Graphics& g, const Control& c, EditorLayout::Channels layout)
{
    const auto r = toFloat(c.bounds);
    switch (c.look)
    {
    case Look::BrushedLarge:
    case Look::BrushedSmall:
    case Look::KnurledLarge:
    case Look::KnurledSmall:
    case Look::RidgeLarge:
    case Look::RidgeSmall: knobScale(g, c); break;
    case Look::ValueLabelDark:
    case Look::ValueLabelLight: valueWindow(g, c); break;
    case Look::LongFader:
    case Look::ShortFader: faderSlot(g, c); break;
    case Look::EnableLamp:
        unlitImage(g, c, drawEnableLamp(spec("Enable_LED_on_png")), 0.22f, juce::Colours::transparentBlack);
        g.setColour(juce::Colours::black.withAlpha(0.6f));
        g.drawEllipse(juce::Rectangle<float>(8.0f, 8.0f).withCentre(r.getCentre()), 1.0f);
        break;
    case Look::EnableButton:
        unlitImage(g, c, drawEnableButton(spec("Enable_on_png")), 0.25f, juce::Colour(0xff121214));
        break;
    case Look::RadioButton: radioFace(g, c); break;
    case Look::ComboBox: window(g, r, juce::Colour(0xff0f1012)); break;
    case Look::Plot:
        window(g, r, juce::Colour(0xff0b0c0e), 2.0f);
        break;
    case Look::DistortionMeter:
    case Look::Picture:
        g.setColour(juce::Colours::black.withAlpha(0.6f));
        g.fillRect(r.expanded(1.0f).translated(1.0f, 1.0f));
        break;
    case Look::BarMeter:
    case Look::DuckMeter:
    case Look::GateMeter: meter(g, c, layout); break;
    case Look::ClipLight: unlitImage(g, c, drawClipLight(spec("ClipIndicator_thinner_png")), 0.2f, juce::Colour(0xff0c0c0d)); break;
    case Look::NoiseDisplay: window(g, r, juce::Colour(0xff0e0f11)); break;
    case Look::SimMenu:
    case Look::StepUp:
    case Look::StepDown: break;
    }
}

// The device display: one dark window holding the menu, its arrows and the picture, framed in amber.
void deviceDisplay(juce::Graphics& g)
{
    const Control* menu = EditorLayout::findControl("SIMType.previous");
    const Control* picture = EditorLayout::findControl("SIMType.picture");
    const auto area = juce::Rectangle<float>(static_cast<float>(menu->bounds.x), static_cast<float>(menu->bounds.y) - 1.0f,
                                             static_cast<float>(picture->bounds.w),
                                             static_cast<float>(picture->bounds.bottom() - menu->bounds.y + 1));
    window(g, area, juce::Colour(0xff0b0c0e), 2.0f);
    g.setColour(Style::kAccent.withAlpha(0.75f));
    g.drawRoundedRectangle(area.expanded(1.5f), 3.0f, 1.0f);
}

// A small printed emblem in the lo-fi panel: a smooth wave and its stepped, crushed copy.
void crushEmblem(juce::Graphics& g)
{
    const EditorLayout::Panel* panel = EditorLayout::panelOf(EditorLayout::Section::LoFi);
    const auto area = juce::Rectangle<float>(panel->bounds.x + 8.0f, panel->bounds.y + 22.0f, panel->bounds.w - 16.0f, 40.0f);
    window(g, area, juce::Colour(0xff0b0c0e), 2.0f);
    juce::Path smooth, stepped;
    const int steps = 12;
    for (int i = 0; i <= 64; ++i)
    {
        const float t = i / 64.0f;
        const P p(area.getX() + 3.0f + t * (area.getWidth() - 6.0f),
                  area.getCentreY() - std::sin(t * juce::MathConstants<float>::twoPi) * (area.getHeight() * 0.36f));
        i == 0 ? smooth.startNewSubPath(p) : smooth.lineTo(p);
    }
    for (int i = 0; i < steps; ++i)
    {
        const float t0 = i / static_cast<float>(steps), t1 = (i + 1) / static_cast<float>(steps);
        const float level = std::round(std::sin((t0 + 0.5f / steps) * juce::MathConstants<float>::twoPi) * 3.0f) / 3.0f;
        const float y = area.getCentreY() - level * area.getHeight() * 0.36f;
        const float x0 = area.getX() + 3.0f + t0 * (area.getWidth() - 6.0f), x1 = area.getX() + 3.0f + t1 * (area.getWidth() - 6.0f);
        i == 0 ? stepped.startNewSubPath(x0, y) : stepped.lineTo(x0, y);
        stepped.lineTo(x1, y);
    }
    g.setColour(Style::kLegend.withAlpha(0.35f));
    g.strokePath(smooth, juce::PathStrokeType(1.0f));
    g.setColour(Style::kAccent.withAlpha(0.8f));
    g.strokePath(stepped, juce::PathStrokeType(1.2f));
}

void brand(juce::Graphics& g)
{
    const auto area = juce::Rectangle<float>(16.0f, 134.0f, 90.0f, 70.0f);
    g.setColour(Style::kAccent);
    g.setFont(Style::sans(17.0f, true));
    Style::drawSpacedText(g, "CRUMLET", area.withHeight(22.0f), 1.2f, juce::Justification::horizontallyCentred);
    g.setColour(Style::kTitle);
    g.setFont(Style::sans(9.5f, true));
    Style::drawSpacedText(g, "ORVEX", area.withTrimmedTop(24.0f).withHeight(12.0f), 3.0f,
                          juce::Justification::horizontallyCentred);
    g.setColour(Style::kLegend);
    g.setFont(Style::sans(9.0f));
    g.drawText("DEVICE SIMULATOR", area.withTrimmedTop(42.0f).withHeight(11.0f), juce::Justification::centred);
    g.setColour(Style::kAccent.withAlpha(0.6f));
    g.drawHorizontalLine(juce::roundToInt(area.getY() + 38.0f), area.getX() + 20.0f, area.getRight() - 20.0f);
}
} // namespace

juce::Image drawBackground(const Artwork::ImageSpec& imageSpec, EditorLayout::Channels layout)
{
    juce::Image image = Style::makeImage(imageSpec.width, imageSpec.height, imageSpec.rgb);
    brushedPlate(image);
    juce::Graphics g(image);
    const float w = static_cast<float>(imageSpec.width), h = static_cast<float>(imageSpec.height);
    screw(g, {7.0f, 7.0f}, 0.5f);
    screw(g, {w - 7.0f, 7.0f}, 2.1f);
    screw(g, {7.0f, h - 7.0f}, 1.2f);
    screw(g, {w - 7.0f, h - 7.0f}, 2.7f);
    brand(g);

    for (const auto& panel : EditorLayout::panels())
    {
        recessedPanel(g, toFloat(panel.bounds));
        g.setColour(Style::kTitle);
        g.setFont(Style::sans(10.0f, true));
        Style::drawSpacedText(g, panel.title,
                              juce::Rectangle<float>(panel.bounds.x + 8.0f, panel.bounds.y + 3.0f, panel.bounds.w - 16.0f,
                                                     12.0f),
                              1.6f, juce::Justification::left);
    }
    deviceDisplay(g);
    crushEmblem(g);
    for (const Control& control : EditorLayout::controls(layout))
        controlFurniture(g, control, layout);

    g.setColour(Style::kLegend);
    for (const auto& legend : EditorLayout::legends(layout))
    {
        // The narrow face where the regular one would not fit with a pixel to spare.
        const juce::Font regular = Style::sans(9.5f, true);
        g.setFont(regular.getStringWidthFloat(legend.text) + 2.0f > legend.bounds.w ? Style::narrow(10.0f, true) : regular);
        if (!legend.onControl) // radio buttons print their own legends on their faces
            g.drawFittedText(legend.text, juce::Rectangle<int>(legend.bounds.x, legend.bounds.y, legend.bounds.w,
                                                               legend.bounds.h),
                             juce::Justification::centred, 1, 0.8f);
    }
    return image;
}
