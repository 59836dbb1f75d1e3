#include "cli/pictures/DecayPicture.h"

#include "widgets/ArialFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
using namespace picture;
constexpr double kDbStep = 10.0;
constexpr int kMostTimeLabels = 10;

struct Axes
{
    juce::Rectangle<int> area;
    double seconds;

    float x(double t) const { return static_cast<float>(area.getX() + t / seconds * area.getWidth()); }
    float y(double db) const
    {
        const double clamped = std::clamp(db, kDecayBottomDb - 10.0, kDecayTopDb + 10.0);
        return static_cast<float>(area.getY() + (kDecayTopDb - clamped) / (kDecayTopDb - kDecayBottomDb) * area.getHeight());
    }
};

// The time between labelled lines: 1, 2 or 5 times a power of ten, at most kMostTimeLabels
// steps across the axis.
double timeStep(double seconds)
{
    double step = std::pow(10.0, std::floor(std::log10(seconds / kMostTimeLabels)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (seconds / (step * m) <= kMostTimeLabels)
            return step * m;
    return step * 10.0;
}

std::string secondsLabel(double t)
{
    char text[24];
    std::snprintf(text, sizeof text, "%g", std::round(t * 1000.0) / 1000.0);
    return text;
}

void drawGrid(juce::Graphics& g, const Axes& axes)
{
    const juce::Rectangle<int>& area = axes.area;
    const auto left = static_cast<float>(area.getX()), right = static_cast<float>(area.getRight());
    const auto top = static_cast<float>(area.getY()), bottom = static_cast<float>(area.getBottom());
    g.setFont(arialFont(kLabelHeight));
    const double step = timeStep(axes.seconds);
    for (int k = 0; k * step <= axes.seconds + 1e-9; ++k)
    {
        const float x = axes.x(k * step);
        g.setColour(kMajorLine);
        g.drawLine(x, top, x, bottom, 1.0f);
        // A half step between labels gets a faint line.
        const float half = axes.x((k + 0.5) * step);
        g.setColour(kMinorLine);
        if (half < right)
            g.drawLine(half, top, half, bottom, 1.0f);
        g.setColour(kLabel);
        g.drawText(secondsLabel(k * step), juce::Rectangle<float>(x - 30.0f, bottom + 6.0f, 60.0f, 16.0f),
                   juce::Justification::centred, false);
    }
    g.drawText("seconds", juce::Rectangle<float>(right - 100.0f, bottom + 24.0f, 100.0f, 16.0f),
               juce::Justification::centredRight, false);
    for (double db = 0.0; db >= kDecayBottomDb; db -= kDbStep)
    {
        const float y = axes.y(db);
        g.setColour(db == 0.0 ? kZeroLine : kMajorLine);
        g.drawLine(left, y, right, y, 1.0f);
        char text[16];
        std::snprintf(text, sizeof text, "%g", db);
        g.setColour(kLabel);
        g.drawText(text, juce::Rectangle<float>(left - 52.0f, y - 8.0f, 44.0f, 16.0f), juce::Justification::centredRight,
                   false);
    }
    g.drawText("dB", juce::Rectangle<float>(left - 52.0f, top - 26.0f, 44.0f, 16.0f), juce::Justification::centredRight,
               false);
}

void drawFitRange(juce::Graphics& g, const Axes& axes, const DecayPictureStyle& style)
{
    const float top = axes.y(style.fitTopDb), bottom = axes.y(style.fitBottomDb);
    const juce::Rectangle<float> band(static_cast<float>(axes.area.getX()), top,
                                      static_cast<float>(axes.area.getWidth()), bottom - top);
    g.setColour(juce::Colour(0x0DFFFFFF));
    g.fillRect(band);
    g.setColour(kLabel.withAlpha(0.8f));
    g.setFont(arialFont(12.0f));
    g.drawText(style.fitLabel, band.reduced(8.0f, 4.0f), juce::Justification::bottomRight, false);
}

void drawLine(juce::Graphics& g, const Axes& axes, const DecayLine& line, double stepSeconds)
{
    juce::Path path;
    for (std::size_t i = 0; i < line.db.size(); ++i)
    {
        const double t = static_cast<double>(i) * stepSeconds;
        if (t > axes.seconds)
            break;
        const juce::Point<float> p(axes.x(t), axes.y(line.db[i]));
        if (i == 0)
            path.startNewSubPath(p);
        else
            path.lineTo(p);
    }
    g.setColour(line.colour);
    g.strokePath(path, juce::PathStrokeType(line.thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void drawReference(juce::Graphics& g, const Axes& axes, const DecayPictureStyle& style)
{
    if (!(style.referenceRt60 > 0.0))
        return;
    const juce::Point<float> from(axes.x(style.referenceStart), axes.y(style.referenceDb));
    const juce::Point<float> to(axes.x(style.referenceStart + style.referenceRt60), axes.y(style.referenceDb - 60.0));
    juce::Path line;
    line.startNewSubPath(from);
    line.lineTo(to);
    juce::Path dashed;
    const float dashes[] = {9.0f, 6.0f};
    juce::PathStrokeType(2.0f).createDashedStroke(dashed, line, dashes, 2);
    g.setColour(kTitle);
    g.fillPath(dashed);
    g.fillEllipse(to.x - 4.5f, to.y - 4.5f, 9.0f, 9.0f);
    // The label beside the marker, on the side with room.
    g.setFont(arialFont(kLabelHeight));
    const float width = g.getCurrentFont().getStringWidthFloat(style.referenceLabel) + 4.0f;
    const bool leftOfIt = to.x + 12.0f + width > static_cast<float>(axes.area.getRight());
    const juce::Rectangle<float> box(leftOfIt ? to.x - 12.0f - width : to.x + 12.0f, to.y - 8.0f, width, 16.0f);
    g.setColour(kPlotArea.withAlpha(0.85f));
    g.fillRect(box.expanded(3.0f, 1.0f));
    g.setColour(kTitle);
    g.drawText(style.referenceLabel, box, juce::Justification::centredLeft, false);
}

// The legend in a box at the plot's top right corner; an entry's text after a tab stands in a
// second column.
void drawLegendBox(juce::Graphics& g, const Axes& axes, const std::vector<LegendEntry>& legend)
{
    if (legend.empty())
        return;
    g.setFont(arialFont(kLabelHeight));
    std::vector<std::pair<std::string, std::string>> columns;
    float first = 0.0f, second = 0.0f;
    for (const auto& e : legend)
    {
        const auto tab = e.text.find('\t');
        columns.emplace_back(e.text.substr(0, tab), tab == std::string::npos ? std::string() : e.text.substr(tab + 1));
        first = std::max(first, g.getCurrentFont().getStringWidthFloat(columns.back().first));
        second = std::max(second, g.getCurrentFont().getStringWidthFloat(columns.back().second));
    }
    constexpr int kPadding = 10, kSwatch = 20, kGap = 14;
    const int firstWidth = static_cast<int>(std::ceil(first)) + 2, secondWidth = static_cast<int>(std::ceil(second)) + 2;
    const int width = kPadding + kSwatch + firstWidth + kGap + secondWidth + kPadding;
    const int height = static_cast<int>(legend.size()) * kLegendRow + 2 * kPadding - 4;
    const juce::Rectangle<int> box(axes.area.getRight() - 12 - width, axes.area.getY() + 12, width, height);
    g.setColour(kBackground.withAlpha(0.9f));
    g.fillRect(box);
    g.setColour(kMajorLine);
    g.drawRect(box, 1);
    int y = box.getY() + kPadding - 2;
    for (std::size_t k = 0; k < legend.size(); ++k, y += kLegendRow)
    {
        const int x = box.getX() + kPadding;
        g.setColour(legend[k].colour);
        g.fillRect(x, y + 3, 14, 10);
        g.setColour(kLabel);
        g.drawText(columns[k].first, x + kSwatch, y, firstWidth, 16, juce::Justification::centredLeft, false);
        g.drawText(columns[k].second, x + kSwatch + firstWidth + kGap, y, secondWidth, 16,
                   juce::Justification::centredRight, false);
    }
}
} // namespace

juce::Image drawDecayPicture(const DecayPictureStyle& style)
{
    const Axes axes{{PictureFrame::kLeft, PictureFrame::kTop, kDecayPlotWidth, kDecayPlotHeight}, style.seconds};
    juce::Image image(juce::Image::ARGB, axes.area.getRight() + PictureFrame::kRight,
                      axes.area.getBottom() + PictureFrame::kBottom, true);
    juce::Graphics g(image);
    drawBackground(g, axes.area, style.title, style.subtitle);
    drawGrid(g, axes);
    {
        juce::Graphics::ScopedSaveState saved(g);
        g.reduceClipRegion(axes.area);
        drawFitRange(g, axes, style);
        for (const DecayLine& line : style.lines)
            drawLine(g, axes, line, style.stepSeconds);
        drawReference(g, axes, style);
        drawLegendBox(g, axes, style.legend);
    }
    g.setColour(kMajorLine);
    g.drawRect(axes.area, 1);
    return image;
}
