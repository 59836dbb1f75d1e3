// A response plot drawn off screen with a grid a person can read: frequency lines and
// labels in Hz along the bottom, dB lines and labels on the left, a title and a legend.
// The curves are the plot component's own painting.
#pragma once

#include "cli/pictures/PictureParts.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <string>
#include <vector>

class Freq_Plot;

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

// The picture of `plot` (already sized, configured and fed) with its frame around it.
juce::Image drawResponsePicture(Freq_Plot& plot, const ResponsePictureStyle& style);

// Label of a grid frequency: "20", "500", "1k", "2.5k", "20k".
std::string frequencyLabel(double hz);
