// The strip of device pictures: frame k shows device k of the name list, drawn by its
// family on the panel's dark background with a faint spotlight behind it, and captioned.
#include "Parts.h"
#include "Style.h"
#include "devices/DeviceKit.h"

namespace
{
constexpr float kCaptionHeight = 12.0f;

void backdrop(juce::Graphics& g, juce::Rectangle<float> frame)
{
    g.setColour(juce::Colour(0xff17181b));
    g.fillRect(frame);
    juce::ColourGradient spot(juce::Colour(0xff3a3c42), frame.getCentreX() - 6.0f, frame.getCentreY() - 10.0f,
                              juce::Colour(0xff17181b), frame.getCentreX() + 62.0f, frame.getCentreY(), true);
    g.setGradientFill(spot);
    g.fillRect(frame.withTrimmedBottom(kCaptionHeight));
}

void caption(juce::Graphics& g, juce::Rectangle<float> frame, const char* name)
{
    const auto area = frame.removeFromBottom(kCaptionHeight);
    g.setColour(juce::Colour(0xff0f1012));
    g.fillRect(area);
    g.setColour(Style::kLegend);
    g.setFont(Style::narrow(10.0f));
    g.drawFittedText(name, area.toNearestInt().reduced(3, 0), juce::Justification::centred, 1, 0.75f);
}
} // namespace

juce::Image drawDeviceStrip(const Artwork::ImageSpec& spec)
{
    juce::Image image = Style::makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    const float fw = static_cast<float>(spec.frameWidth()), fh = static_cast<float>(spec.height);
    for (int k = 0; k < spec.frames; ++k)
    {
        const juce::Rectangle<float> frame(k * fw, 0.0f, fw, fh);
        juce::Graphics::ScopedSaveState state(g);
        g.reduceClipRegion(frame.toNearestInt());
        backdrop(g, frame);
        const Devices::Device& device = Devices::device(k);
        {
            juce::Graphics::ScopedSaveState drawing(g);
            device.draw(g, frame.withTrimmedBottom(kCaptionHeight).reduced(6.0f, 4.0f), device);
        }
        caption(g, frame, device.name);
    }
    return image;
}
