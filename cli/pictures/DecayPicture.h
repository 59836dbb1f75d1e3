// A decay plot drawn off screen with a grid a person can read: the level in dB falling
// against the time in seconds, a line per octave band, the decay the space states dashed
// across them, the range the reverberation time is read from shaded, a legend in the top
// right corner (where a decay leaves room), in the frame of the response plots.
#pragma once

#include "cli/pictures/PictureParts.h"

#include <string>
#include <vector>

struct DecayLine
{
    juce::Colour colour;
    float thickness = 2.0f;
    std::vector<double> db; // from time 0, one value a step
};

struct DecayPictureStyle
{
    std::string title;
    std::string subtitle;
    double stepSeconds = 0.001; // between a line's values
    double seconds = 1.0;       // the time axis, from 0
    std::vector<DecayLine> lines;
    std::vector<LegendEntry> legend;
    // A straight fall of 60 dB in `referenceRt60` seconds from `referenceDb` at
    // `referenceStart`, dashed, its end marked and labelled.
    double referenceStart = 0.0;
    double referenceDb = 0.0;
    double referenceRt60 = 0.0;
    std::string referenceLabel;
    // Shaded and labelled: the levels the reverberation time is read between.
    double fitTopDb = -5.0;
    double fitBottomDb = -35.0;
    std::string fitLabel;
};

constexpr int kDecayPlotWidth = 840;
constexpr int kDecayPlotHeight = 420;
// The level at the plot's top and bottom edges.
constexpr double kDecayTopDb = 3.0;
constexpr double kDecayBottomDb = -72.0;

// kDecayPlotWidth by kDecayPlotHeight inside the frame.
juce::Image drawDecayPicture(const DecayPictureStyle& style);
