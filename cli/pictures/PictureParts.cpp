#include "cli/pictures/PictureParts.h"

#include "cli/settings/UsageError.h"
#include "widgets/ArialFont.h"

namespace picture
{

void drawBackground(juce::Graphics& g, juce::Rectangle<int> area, const std::string& title, const std::string& subtitle)
{
    g.fillAll(kBackground);
    g.setColour(kPlotArea);
    g.fillRect(area);
    g.setColour(kTitle);
    g.setFont(arialFont(17.0f));
    g.drawText(title, area.getX(), 10, area.getWidth(), 20, juce::Justification::centredLeft, false);
    g.setColour(kLabel);
    g.setFont(arialFont(kLabelHeight));
    g.drawText(subtitle, area.getX(), 32, area.getWidth(), 16, juce::Justification::centredLeft, false);
}

void drawLegendColumn(juce::Graphics& g, const std::vector<LegendEntry>& legend, int left, int top)
{
    g.setFont(arialFont(kLabelHeight));
    int y = top;
    for (const auto& e : legend)
    {
        g.setColour(e.colour);
        g.fillRect(left, y + 3, 14, 10);
        g.setColour(kLabel);
        g.drawText(e.text, left + 20, y, 1200, 16, juce::Justification::centredLeft, false);
        y += kLegendRow;
    }
}

} // namespace picture

void writePng(const juce::Image& image, const std::string& path)
{
    const juce::File file = juce::File::getCurrentWorkingDirectory().getChildFile(juce::String(path));
    file.deleteFile();
    juce::FileOutputStream out(file);
    juce::PNGImageFormat png;
    if (!out.openedOk() || !png.writeImageToStream(image, out))
        throw IoError("cannot write \"" + path + "\"");
}
