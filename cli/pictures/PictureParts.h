// What the tool's plots have in common: the margins around the plot area, the colours, the
// title and subtitle over the plot, a legend in a column, and the PNG file they are written to.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <string>
#include <vector>

struct LegendEntry
{
    juce::Colour colour;
    std::string text;
};

// Margins around the plot inside the picture.
struct PictureFrame
{
    static constexpr int kLeft = 74;
    static constexpr int kRight = 28;
    static constexpr int kTop = 62;
    static constexpr int kBottom = 58;
};

namespace picture
{
inline const juce::Colour kBackground{0xFF16181B};
inline const juce::Colour kPlotArea{0xFF202328};
inline const juce::Colour kMinorLine{0x1FFFFFFF};
inline const juce::Colour kMajorLine{0x40FFFFFF};
inline const juce::Colour kZeroLine{0x8CFFFFFF};
inline const juce::Colour kLabel{0xFFC8CCD2};
inline const juce::Colour kTitle{0xFFF2F3F5};
constexpr float kLabelHeight = 13.0f;
constexpr int kLegendRow = 18;

// The picture's background and the plot area's, the title and the subtitle above the area.
void drawBackground(juce::Graphics& g, juce::Rectangle<int> area, const std::string& title,
                    const std::string& subtitle);
// Entries one under another from (left, top): a colour swatch, then the text.
void drawLegendColumn(juce::Graphics& g, const std::vector<LegendEntry>& legend, int left, int top);
} // namespace picture

// Writes an image as PNG; throws IoError when the file cannot be written.
void writePng(const juce::Image& image, const std::string& path);
