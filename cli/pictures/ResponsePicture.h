// A response plot drawn off screen with a grid a person can read: frequency lines and
// labels in Hz along the bottom, dB lines and labels on the left, a title and a legend.
// The curves are the plot component's own painting.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <string>
#include <vector>

class Freq_Plot;

struct LegendEntry
{
    juce::Colour colour;
    std::string text;
};

// A curve drawn over the plot from its own values: dB at the given frequencies.
struct OverlayCurve
{
    juce::Colour colour;
    float thickness = 2.0f;
    const std::vector<double>* frequencies = nullptr;
    std::vector<double> db;
};

struct ResponsePictureStyle
{
    std::string title;
    std::string subtitle;
    std::vector<LegendEntry> legend;
    double dbStep = 6.0;       // spacing of the labelled dB lines
    std::vector<OverlayCurve> overlays; // drawn in order, after the plot's own curves
    bool legendBelow = false; // the legend in a column under the plot, for long entries
};

// Margins around the plot inside the picture.
struct PictureFrame
{
    static constexpr int kLeft = 74;
    static constexpr int kRight = 28;
    static constexpr int kTop = 62;
    static constexpr int kBottom = 58;
};

// The picture of `plot` (already sized, configured and fed) with its frame around it.
juce::Image drawResponsePicture(Freq_Plot& plot, const ResponsePictureStyle& style);

// Writes an image as PNG; throws IoError when the file cannot be written.
void writePng(const juce::Image& image, const std::string& path);

// Label of a grid frequency: "20", "500", "1k", "2.5k", "20k".
std::string frequencyLabel(double hz);
