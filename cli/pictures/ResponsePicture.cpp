#include "cli/pictures/ResponsePicture.h"

#include "widgets/ArialFont.h"
#include "widgets/Freq_Plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
using namespace picture;

// Every 1-2-5 step inside the axis is labelled; the other whole multiples get a faint line.
void drawFrequencyGrid(juce::Graphics& g, const Freq_Plot& plot, juce::Rectangle<int> area)
{
    const float top = static_cast<float>(area.getY());
    const float bottom = static_cast<float>(area.getBottom());
    g.setFont(arialFont(13.0f));
    for (double decade = 1.0; decade <= 100000.0; decade *= 10.0)
        for (int m = 1; m <= 9; ++m)
        {
            const double f = decade * m;
            if (f < plot.getLowestFrequency() - 1e-9 || f > plot.getHighestFrequency() + 1e-9)
                continue;
            const float x = static_cast<float>(area.getX()) + plot.getFrequencyX(f);
            const bool labelled = m == 1 || m == 2 || m == 5;
            g.setColour(labelled ? kMajorLine : kMinorLine);
            g.drawLine(x, top, x, bottom, 1.0f);
            if (labelled)
            {
                g.setColour(kLabel);
                g.drawText(frequencyLabel(f), juce::Rectangle<float>(x - 30.0f, bottom + 6.0f, 60.0f, 16.0f),
                           juce::Justification::centred, false);
            }
        }
    // An axis that stops short of 20 kHz says where it stops.
    const double highest = plot.getHighestFrequency();
    const double mantissa = highest / std::pow(10.0, std::floor(std::log10(highest)));
    if (std::fabs(mantissa - 1.0) > 1e-6 && std::fabs(mantissa - 2.0) > 1e-6 && std::fabs(mantissa - 5.0) > 1e-6 &&
        highest < 20000.0)
    {
        g.setColour(kLabel);
        const float right = static_cast<float>(area.getRight());
        g.drawText(frequencyLabel(highest), juce::Rectangle<float>(right - 30.0f, bottom + 6.0f, 60.0f, 16.0f),
                   juce::Justification::centred, false);
    }
    g.setColour(kLabel);
    g.drawText("Hz", juce::Rectangle<float>(static_cast<float>(area.getRight()) - 60.0f, bottom + 24.0f, 60.0f, 16.0f),
               juce::Justification::centredRight, false);
}

void drawDbGrid(juce::Graphics& g, const Freq_Plot& plot, juce::Rectangle<int> area, double step)
{
    const double range = plot.getDbRange();
    const double offset = plot.getDbOffset();
    // The plot spans offset - range at the bottom edge to offset + range at the top edge,
    // measured from its 0 dB line; the grid is drawn in those dB.
    const double lowest = -range - offset;
    const double highest = range - offset;
    const float left = static_cast<float>(area.getX());
    const float right = static_cast<float>(area.getRight());
    g.setFont(arialFont(13.0f));
    for (double db = std::ceil(lowest / step) * step; db <= highest + 1e-9; db += step)
    {
        const float y = static_cast<float>(area.getY()) + plot.getBaseline() - static_cast<float>(db * plot.getYScale());
        g.setColour(std::fabs(db) < 1e-9 ? kZeroLine : kMajorLine);
        g.drawLine(left, y, right, y, 1.0f);
        char text[16];
        std::snprintf(text, sizeof text, "%+g", db);
        g.setColour(kLabel);
        g.drawText(std::fabs(db) < 1e-9 ? "0" : text, juce::Rectangle<float>(left - 52.0f, y - 8.0f, 44.0f, 16.0f),
                   juce::Justification::centredRight, false);
    }
    g.drawText("dB", juce::Rectangle<float>(left - 52.0f, static_cast<float>(area.getY()) - 26.0f, 44.0f, 16.0f),
               juce::Justification::centredRight, false);
}

void drawLegend(juce::Graphics& g, const std::vector<LegendEntry>& legend, int right, int y)
{
    g.setFont(arialFont(13.0f));
    int x = right;
    for (auto it = legend.rbegin(); it != legend.rend(); ++it)
    {
        const int textWidth = juce::roundToInt(g.getCurrentFont().getStringWidthFloat(it->text)) + 4;
        x -= textWidth;
        g.setColour(kLabel);
        g.drawText(it->text, x, y, textWidth, 16, juce::Justification::centredLeft, false);
        x -= 20;
        g.setColour(it->colour);
        g.fillRect(x, y + 3, 14, 10);
        x -= 18;
    }
}
void drawOverlay(juce::Graphics& g, const Freq_Plot& plot, const OverlayCurve& curve)
{
    juce::Path path;
    bool started = false;
    for (std::size_t i = 0; i < curve.db.size() && curve.frequencies != nullptr; ++i)
    {
        const double f = (*curve.frequencies)[i];
        if (f < plot.getLowestFrequency() || f > plot.getHighestFrequency())
            continue;
        const float x = plot.getFrequencyX(f);
        const float y = plot.getBaseline() - static_cast<float>(std::max(curve.db[i], -400.0) * plot.getYScale());
        if (!started)
            path.startNewSubPath(x, y);
        else
            path.lineTo(x, y);
        started = true;
    }
    g.setColour(curve.colour);
    g.strokePath(path, juce::PathStrokeType(curve.thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}
} // namespace

std::string frequencyLabel(double hz)
{
    char text[16];
    if (hz >= 1000.0)
        std::snprintf(text, sizeof text, "%gk", hz / 1000.0);
    else
        std::snprintf(text, sizeof text, "%g", hz);
    return text;
}

juce::Image drawResponsePicture(Freq_Plot& plot, const ResponsePictureStyle& style)
{
    const juce::Rectangle<int> area(PictureFrame::kLeft, PictureFrame::kTop, plot.getWidth(), plot.getHeight());
    const int legendRows = style.legendBelow ? static_cast<int>(style.legend.size()) : 0;
    juce::Image image(juce::Image::ARGB, area.getRight() + PictureFrame::kRight,
                      area.getBottom() + PictureFrame::kBottom + legendRows * kLegendRow, true);
    juce::Graphics g(image);
    drawBackground(g, area, style.title, style.subtitle);
    if (!style.legendBelow)
        drawLegend(g, style.legend, area.getRight(), 32);

    drawFrequencyGrid(g, plot, area);
    drawDbGrid(g, plot, area, style.dbStep);

    {
        juce::Graphics::ScopedSaveState saved(g);
        g.reduceClipRegion(area);
        g.setOrigin(area.getPosition());
        plot.paintEntireComponent(g, false);
        for (const auto& curve : style.overlays)
            drawOverlay(g, plot, curve);
    }
    if (style.legendBelow)
        drawLegendColumn(g, style.legend, area.getX(), area.getBottom() + PictureFrame::kBottom - 10);
    g.setColour(kMajorLine);
    g.drawRect(area, 1);
    return image;
}
