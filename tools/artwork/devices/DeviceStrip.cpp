// The strip of device pictures: frame k shows device k of the name list.
#include "Parts.h"
#include "Style.h"

juce::Image drawDeviceStrip(const Artwork::ImageSpec& spec)
{
    juce::Image image = Style::makeImage(spec.width, spec.height, spec.rgb);
    juce::Graphics g(image);
    g.fillAll(Style::kPanel);
    return image;
}
